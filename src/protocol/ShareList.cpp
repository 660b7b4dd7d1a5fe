#include "protocol/ShareList.h"

#include <cstring>
#include <new>

#include "protocol/FixedText.h"
#include "protocol/LinkedList.h"
#include "protocol/ProtocolState.h"

namespace
{
bool IsListed(std::string_view name)
{
    for (const ShareNameEntry *entry = g_ProtocolState.shareNameList.head; entry != nullptr; entry = entry->next)
    {
        if (FieldText(entry->name) == name)
            return true;
    }
    return false;
}

void Append(std::string_view name)
{
    auto *entry = new (std::nothrow) ShareNameEntry{};
    if (entry == nullptr)
        return;
    CopyText(entry->name, name);
    AppendNode(g_ProtocolState.shareNameList, entry);
}
} // namespace

void FillShareNameList(std::string_view text)
{
    while (!text.empty())
    {
        const std::size_t colon = text.find(':');
        std::string_view piece = text.substr(0, colon);
        text = colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
        if (piece.empty())
            continue;
        // Compare what would be stored, so two long names that agree in their first 255 bytes are one entry.
        if (piece.size() > kNameCapacity)
            piece = piece.substr(0, kNameCapacity);
        if (!IsListed(piece))
            Append(piece);
    }
}

void FreeShareNameList()
{
    FreeNodes(g_ProtocolState.shareNameList);
}
