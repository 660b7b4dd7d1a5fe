#include "platform/Resources.h"

#include <cctype>

namespace izuzez::platform
{

namespace
{
bool SameTypeName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
} // namespace

HRSRC FindResourceA(HMODULE module, int id, std::string_view type)
{
    if (module != nullptr)
        return nullptr;
    for (const embedded::EmbeddedFile &file : embedded::EmbeddedFiles())
        if (file.id == id && SameTypeName(file.type, type))
            return &file;
    return nullptr;
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource)
{
    return module == nullptr ? resource : nullptr;
}

const void *LockResource(HGLOBAL loaded)
{
    return loaded != nullptr ? loaded->data : nullptr;
}

std::uint32_t SizeofResource(HMODULE module, HRSRC resource)
{
    return module == nullptr && resource != nullptr ? static_cast<std::uint32_t>(resource->size) : 0;
}

} // namespace izuzez::platform
