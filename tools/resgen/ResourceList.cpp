#include "ResourceList.h"

#include <array>

namespace izuzez::resgen
{

namespace
{
using enum Kind;
constexpr std::string_view CP = "CODEPAGE";

// The sizes are the ones the device-side files are known by; the generator pads each file to its size.
constexpr std::array resources{
    ResourceEntry{CP, 151, "codepage.950", SambaCodepage, "CP950", 950, false, 8},
    ResourceEntry{CP, 153, "nls_cp950.o", Module24, "CP950", 950, false, 106268},
    ResourceEntry{CP, 155, "nls_big5.o", Module24, "BIG5", 950, true, 1724},
    ResourceEntry{CP, 174, "nls_cp950.ko", Module26, "CP950", 950, false, 105791},
    ResourceEntry{CP, 192, "nls_cp950_12.ko", Module2612, "CP950", 950, false, 105887},
    ResourceEntry{CP, 156, "unicode_map.950", UnicodeMap, "CP950", 950, false, 262174},
    ResourceEntry{CP, 157, "codepage.936", SambaCodepage, "CP936", 936, false, 8},
    ResourceEntry{CP, 158, "nls_cp936.o", Module24, "CP936", 936, false, 129244},
    ResourceEntry{CP, 159, "nls_gb2312.o", Module24, "GB2312", 936, true, 1728},
    ResourceEntry{CP, 175, "nls_cp936.ko", Module26, "CP936", 936, false, 128599},
    ResourceEntry{CP, 190, "nls_cp936_12.ko", Module2612, "CP936", 936, false, 128695},
    ResourceEntry{CP, 160, "unicode_map.936", UnicodeMap, "CP936", 936, false, 262174},
    ResourceEntry{CP, 143, "codepage.850", SambaCodepage, "CP850", 850, false, 132},
    ResourceEntry{CP, 145, "nls_cp850.o", Module24, "CP850", 850, false, 5020},
    ResourceEntry{CP, 179, "nls_cp850.ko", Module26, "CP850", 850, false, 5719},
    ResourceEntry{CP, 187, "nls_cp850_12.ko", Module2612, "CP850", 850, false, 5783},
    ResourceEntry{CP, 148, "unicode_map.850", UnicodeMap, "CP850", 850, false, 131614},
    ResourceEntry{CP, 161, "codepage.932", SambaCodepage, "CP932", 932, false, 8},
    ResourceEntry{CP, 162, "nls_cp932.o", Module24, "CP932", 932, false, 82848},
    ResourceEntry{CP, 163, "nls_euc-jp.o", Module24, "EUC-JP", 932, true, 6364},
    ResourceEntry{CP, 172, "nls_sjis.o", Module24, "SJIS", 932, true, 1724},
    ResourceEntry{CP, 173, "nls_cp932.ko", Module26, "CP932", 932, false, 82562},
    ResourceEntry{CP, 178, "nls_euc-jp.ko", Module26, "EUC-JP", 932, true, 6809},
    ResourceEntry{CP, 189, "nls_cp932_12.ko", Module2612, "CP932", 932, false, 82995},
    ResourceEntry{CP, 193, "nls_euc-jp_12.ko", Module2612, "EUC-JP", 932, true, 6921},
    ResourceEntry{CP, 164, "unicode_map.932", UnicodeMap, "CP932", 932, false, 262174},
    ResourceEntry{CP, 165, "codepage.949", SambaCodepage, "CP949", 949, false, 8},
    ResourceEntry{CP, 166, "nls_cp949.o", Module24, "CP949", 949, false, 152216},
    ResourceEntry{CP, 167, "nls_euc-kr.o", Module24, "EUC-KR", 949, true, 1728},
    ResourceEntry{CP, 176, "nls_cp949.ko", Module26, "CP949", 949, false, 151405},
    ResourceEntry{CP, 191, "nls_cp949_12.ko", Module2612, "CP949", 949, false, 151501},
    ResourceEntry{CP, 168, "unicode_map.949", UnicodeMap, "CP949", 949, false, 262174},
    ResourceEntry{CP, 169, "codepage.866", SambaCodepage, "CP866", 866, false, 588},
    ResourceEntry{CP, 170, "nls_cp866.o", Module24, "CP866", 866, false, 5308},
    ResourceEntry{CP, 185, "nls_koi8-r.o", Module24, "KOI8-R", 866, false, 5312},
    ResourceEntry{CP, 177, "nls_cp866.ko", Module26, "CP866", 866, false, 6006},
    ResourceEntry{CP, 183, "nls_koi8-r.ko", Module26, "KOI8-R", 866, false, 6010},
    ResourceEntry{CP, 188, "nls_cp866_12.ko", Module2612, "CP866", 866, false, 6070},
    ResourceEntry{CP, 194, "nls_koi8-r_12.ko", Module2612, "KOI8-R", 866, false, 6074},
    // The device reads this name as the map of 866; it holds the same bytes as codepage.866.
    ResourceEntry{CP, 171, "unicode_map.866", SambaCodepage, "CP866", 866, false, 588},
    ResourceEntry{CP, 184, "unicode_map.KOI8-R", UnicodeMap, "KOI8-R", 866, false, 131614},
    // Carried for firmware that lacks 852 and 857; no installation writes them.
    ResourceEntry{CP, 222, "codepage.852", SambaCodepage, "CP852", 852, false, 0},
    ResourceEntry{CP, 223, "unicode_map.852", UnicodeMap, "CP852", 852, false, 131614},
    ResourceEntry{CP, 224, "nls_cp852_12.ko", Module2612, "CP852", 852, false, 0},
    ResourceEntry{CP, 225, "codepage.857", SambaCodepage, "CP857", 857, false, 0},
    ResourceEntry{CP, 226, "unicode_map.857", UnicodeMap, "CP857", 857, false, 131614},
    ResourceEntry{CP, 228, "nls_cp857_12.ko", Module2612, "CP857", 857, false, 0},
    ResourceEntry{"BT", 215, "bt", Helper, "", 0, false, 0},
    ResourceEntry{"BT", 220, "btdog", Helper, "", 0, false, 0},
};
} // namespace

std::span<const ResourceEntry> AllResources()
{
    return resources;
}

std::string_view KindName(Kind kind)
{
    switch (kind)
    {
    case SambaCodepage:
        return "codepage";
    case UnicodeMap:
        return "unicode_map";
    case Module24:
        return "module-2.4.21";
    case Module26:
        return "module-2.6.6";
    case Module2612:
        return "module-2.6.12.6";
    case Helper:
        return "helper";
    }
    return "";
}

} // namespace izuzez::resgen
