#include "platform/Resources.h"

#include "platform/TextCompare.h"

namespace izuzez::platform
{

HRSRC FindResourceA(HMODULE module, int id, std::string_view type)
{
    if (module != nullptr)
        return nullptr;
    for (const embedded::EmbeddedFile &file : embedded::EmbeddedFiles())
        if (file.id == id && EqualsIgnoringCase(file.type, type))
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
