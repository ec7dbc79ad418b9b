// The C escapes of the console output and of the simulator's RX/TX lines,
// and the harness's reading of them back.
#include <gtest/gtest.h>

#include <string>

#include "harness.h"
#include "text_escape.h"

namespace {

std::string Byte(int b)
{
    return std::string(1, static_cast<char>(b));
}

std::string AllBytes()
{
    std::string s;
    for (int b = 0; b < 256; ++b) s += Byte(b);
    return s;
}

TEST(TextEscape, PrintableAsciiIsKeptAndTheNamedEscapesAreUsed)
{
    std::string printable;
    for (int b = 0x20; b < 0x7f; ++b)
        if (b != '"' && b != '\\') printable += Byte(b);
    EXPECT_EQ(EscapeText(printable), printable);
    EXPECT_EQ(EscapeText(""), "");

    EXPECT_EQ(EscapeText("\n"), "\\n");
    EXPECT_EQ(EscapeText("\r"), "\\r");
    EXPECT_EQ(EscapeText("\t"), "\\t");
    EXPECT_EQ(EscapeText("\""), "\\\"");
    EXPECT_EQ(EscapeText("\\"), "\\\\");
    EXPECT_EQ(EscapeText(":CALC:DATA? \"ER\"\r\n"), ":CALC:DATA? \\\"ER\\\"\\r\\n");
}

TEST(TextEscape, ControlAndHighBytesAreTwoLowerCaseHexDigits)
{
    EXPECT_EQ(EscapeText(Byte(0x00)), "\\x00");
    EXPECT_EQ(EscapeText(Byte(0x01)), "\\x01");
    EXPECT_EQ(EscapeText(Byte(0x1b)), "\\x1b");
    EXPECT_EQ(EscapeText(Byte(0x1f)), "\\x1f");
    EXPECT_EQ(EscapeText(Byte(0x7f)), "\\x7f");
    EXPECT_EQ(EscapeText(Byte(0x80)), "\\x80");
    EXPECT_EQ(EscapeText(Byte(0xc2) + Byte(0xb5)), "\\xc2\\xb5");
    EXPECT_EQ(EscapeText(Byte(0xff)), "\\xff");
    // A NUL inside the text is escaped, not an end of the text.
    EXPECT_EQ(EscapeText(std::string("a\0b", 3)), "a\\x00b");
    // Exactly two digits even when a hex digit follows.
    EXPECT_EQ(EscapeText(Byte(0x1f) + "a"), "\\x1fa");
}

TEST(TextEscape, OutputIsOneLineOfPrintableAscii)
{
    for (int b = 0; b < 256; ++b) {
        std::string out = EscapeText(Byte(b));
        for (unsigned char ch : out) EXPECT_TRUE(ch >= 0x20 && ch < 0x7f) << "byte " << b;
    }
}

TEST(TextEscape, HarnessUnescapeReadsEveryTextBack)
{
    std::string all = AllBytes();
    EXPECT_EQ(harness::Unescape(EscapeText(all)), all);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(harness::Unescape(EscapeText(Byte(b) + "f")), Byte(b) + "f") << "byte " << b;
    std::string mixed = "TX 1.2E-09\n\\\"" + Byte(0) + Byte(0x1f) + "ab" + Byte(0x7f) + Byte(0xff);
    EXPECT_EQ(harness::Unescape(EscapeText(mixed)), mixed);
}

}  // namespace
