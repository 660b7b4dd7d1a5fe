#include "services/Languages.h"

#include <array>

namespace izuzez::services
{

namespace
{

constexpr std::array<Language, 9> languages{{
    {"Traditional Chinese", "950"},
    {"Simplified Chinese", "936"},
    {"Western European", "850"},
    {"Northern European", "865"},
    {"Central European", "852"},
    {"Turkish", "857"},
    {"Korean Hangul", "949"},
    {"Cyrillic", "866"},
    {"Japanese SJIS", "932"},
}};

} // namespace

std::span<const Language> Languages()
{
    return languages;
}

int LanguageIndexOf(std::string_view codepage)
{
    for (std::size_t i = 0; i < languages.size(); ++i)
        if (codepage == languages[i].codepage)
            return static_cast<int>(i);
    return -1;
}

bool IsCodepageUnsupported(int index, bool extraCodepages)
{
    return !extraCodepages && index >= 3 && index <= 5;
}

} // namespace izuzez::services
