#include "protocol/PrintableText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/DeviceList.h"
#include "protocol/Diagnostics.h"
#include "protocol/Packets.h"
#include "protocol/ProtocolState.h"
#include "protocol/Search.h"

namespace
{

struct FilterCase
{
    const char *name;
    std::string text;
    std::string shown;
};

const FilterCase filterCases[] = {
    {"plain", "NAS-1 (office)", "NAS-1 (office)"},
    {"escape sequence", "a\x1b[2Jb", "a?[2Jb"},
    {"line ends and tab", "\t\r\n", "???"},
    {"delete", "x\x7f", "x?"},
    {"raw C1 bytes", "\x80\x9b\x9f", "???"},
    {"C1 as UTF-8",
     "a\xc2\x9b"
     "b\xc2\x80\xc2\x9f",
     "a?b??"},
    {"no-break space passes", "\xc2\xa0", "\xc2\xa0"},
    {"UTF-8 letters pass", "caf\xc3\xa9 \xc4\x80 \xe2\x82\xac \xf0\x9f\x98\x80",
     "caf\xc3\xa9 \xc4\x80 \xe2\x82\xac \xf0\x9f\x98\x80"},
    {"continuation 0x9B inside a letter", "\xe2\x82\x9b", "\xe2\x82\x9b"},
    {"bytes that are not UTF-8 pass", "\xff\xfe\xa9", "\xff\xfe\xa9"},
    {"lead byte without its continuation",
     "\xc2"
     "A\xc2",
     "\xc2"
     "A\xc2"},
    {"overlong form of a C1 control", "\xe0\x82\x9b", "\xe0??"},
    {"surrogate", "\xed\xa0\x80", "\xed\xa0?"},
    {"cut four-byte letter", "\xf0\x9f\x98", "\xf0??"},
    {"empty", "", ""},
};

TEST(PrintableText, ControlsOfBothRangesAndTheirUtf8Forms)
{
    for (const FilterCase &c : filterCases)
        EXPECT_EQ(PrintableText(c.text), c.shown) << c.name;
}

void PutText(std::vector<std::uint8_t> &datagram, std::size_t at, const std::string &text)
{
    std::copy(text.begin(), text.end(), datagram.begin() + static_cast<std::ptrdiff_t>(at));
}

// A full search reply of this instance, in a block of exactly its length.
std::vector<std::uint8_t> FullReply(const std::string &name, const std::string &mask, const std::string &model)
{
    std::vector<std::uint8_t> datagram(kOffFullName + name.size(), 0);
    datagram[0] = kOpFullSearchReply;
    std::copy(g_ProtocolState.clientId.begin(), g_ProtocolState.clientId.end(), datagram.begin() + kOffClientId);
    const std::uint8_t address[4] = {10, 0, 0, 5};
    std::copy(address, address + 4, datagram.begin() + kOffAddress);
    PutText(datagram, kOffNetmask, mask);
    PutText(datagram, kOffGateway, "10.0.0.1\x9b");
    datagram[kOffClassByte] = 1;
    datagram[kOffTypeByte] = 8;
    PutText(datagram, kOffModel, model);
    datagram[kOffFullNameLength] = static_cast<std::uint8_t>(name.size());
    PutText(datagram, kOffFullName, name);
    return datagram;
}

TEST(Diagnostics, DeviceTextsInTraceLinesAreFiltered)
{
    ResetProtocolState();
    g_ProtocolState.clientId = {1, 2, 3, 4, 5, 6, 0, 0, 0, 0};
    const std::vector<std::uint8_t> reply = FullReply("NAS\x1b[31m", "255.0.0.0\xc2\x9b", "NV\r4");
    std::string text;
    for (const bool on : {false, true})
    {
        FreeDeviceList();
        SetDiagnostics(on);
        testing::internal::CaptureStderr();
        DiagnosticText("answer = %s\n", "1\x1b]0;x\x07");
        EXPECT_TRUE(HandleSearchDatagram(reply.data(), reply.size(), 1, 8, 0));
        text = testing::internal::GetCapturedStderr();
        EXPECT_EQ(text.empty(), !on) << "quiet unless switched on";
    }
    SetDiagnostics(false);
    ResetProtocolState();

    EXPECT_NE(text.find("answer = 1?]0;x?\n"), std::string::npos) << text;
    EXPECT_NE(text.find("server_name = NAS?[31m\n"), std::string::npos) << text;
    EXPECT_NE(text.find("server_mask = 255.0.0.0?\n"), std::string::npos) << text;
    EXPECT_NE(text.find("server_gateway = 10.0.0.1?\n"), std::string::npos) << text;
    EXPECT_NE(text.find("server_MODEL = NV?4\n"), std::string::npos) << text;
    for (const char raw : {'\x1b', '\x07', '\r'})
        EXPECT_EQ(text.find(raw), std::string::npos) << static_cast<int>(raw);
    EXPECT_EQ(text.find("\x9b"), std::string::npos);
}

} // namespace
