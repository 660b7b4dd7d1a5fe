#include "platform/TerminalPassword.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

using namespace izuzez::platform;

namespace
{

constexpr std::size_t kLimit = 16;

struct LineCase
{
    std::string input;
    std::string expected; // what is kept; longer than kLimit means "does not fit"
    bool fits;
};

const LineCase lineCases[] = {
    {"secret\n", "secret", true},
    {"secret\r\n", "secret", true},
    {"secret", "secret", true},
    {"\n", "", true},
    {"", "", true},
    {"a b \nnext\n", "a b ", true},
    {"x\r\ry\n", "x\r\ry", true},
    {"0123456789abcdef\n", "0123456789abcdef", true},
    {"0123456789abcdef\r\n", "0123456789abcdef", true},
    {"0123456789abcdef", "0123456789abcdef", true},
    {"0123456789abcdefg\n", "", false},
    {"0123456789abcdef\rX\n", "", false},
    {std::string(1 << 20, 'p'), "", false},
};

TEST(PasswordFromLine, OneBoundedLineWithoutItsLineEnd)
{
    for (const LineCase &c : lineCases)
    {
        SCOPED_TRACE(c.input.substr(0, 40));
        std::istringstream in(c.input);
        const std::string got = PasswordFromLine(in, kLimit);
        EXPECT_EQ(got.size() <= kLimit, c.fits) << got.size();
        if (c.fits)
        {
            EXPECT_EQ(got, c.expected);
        }
        // Never more than the limit, a line end and one byte more is taken from the stream.
        in.clear();
        const std::string rest{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_LE(c.input.size() - rest.size(), kLimit + 2);
    }
}

} // namespace
