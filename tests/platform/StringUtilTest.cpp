#include "platform/StringUtil.h"

#include <gtest/gtest.h>
#include <clocale>
#include <cstdint>

using namespace platform;

TEST(Parse, FollowsTheCLibraryAndClampsTo32Bits) {
    struct Case {
        const char* text;
        int32_t asInt;
        uint32_t asHex;
    };
    const Case cases[] = {
        {"12abc", 12, 0x12abc},
        {"  -7", -7, 0xFFFFFFF9u},
        {"", 0, 0},
        {"xyz", 0, 0},
        {"0x1F", 0, 0x1F},
        {"99999999999", INT32_MAX, UINT32_MAX},
        {"-99999999999", INT32_MIN, UINT32_MAX},
        {"ffffff", 0, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseInt32(c.text), c.asInt) << c.text;
        EXPECT_EQ(ParseUInt32(c.text, 16), c.asHex) << c.text;
    }
    EXPECT_DOUBLE_EQ(ParseDouble("1.5kg"), 1.5);
    EXPECT_DOUBLE_EQ(ParseDouble("none"), 0.0);
}

TEST(Format, UsesCNumberFormsWhateverTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr)
        std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(Format("%lf", 1.5), "1.500000");
    EXPECT_DOUBLE_EQ(ParseDouble("2.25"), 2.25);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(Format("%05d|%s", 42, "x"), "00042|x");
}

TEST(Utf8, CountsCodePoints) {
    EXPECT_EQ(CountCodePoints("abc"), 3u);
    EXPECT_EQ(CountCodePoints("\xE5\xB1\xB1\xE7\x94\xB0"), 2u);  // two kanji
    EXPECT_EQ(TruncateCodePoints("\xE5\xB1\xB1\xE7\x94\xB0x", 1), "\xE5\xB1\xB1");
}

TEST(Utf8, ValidationIsStrict) {
    const char* valid[] = {
        "",
        "Gr\xC3\xBC\xC3\x9F",
        "\xC2\x80",
        "\xDF\xBF",
        "\xE0\xA0\x80",
        "\xED\x9F\xBF",
        "\xEE\x80\x80",
        "\xEF\xBF\xBF",
        "\xF0\x90\x80\x80",
        "\xF4\x8F\xBF\xBF",  // U+10FFFF
    };
    for (const char* text : valid)
        EXPECT_TRUE(IsValidUtf8(text)) << text;
    const char* invalid[] = {
        "bad\xFF",
        "\xC0\xAF",          // overlong '/'
        "\xC0\xAE\xC0\xAE",  // overlong ".."
        "\xC1\xBF",          // overlong
        "\xE0\x80\xAF",      // overlong three-byte '/'
        "\xF0\x80\x80\xAF",  // overlong four-byte '/'
        "\xED\xA0\x80",      // surrogate U+D800
        "\xED\xBF\xBF",      // surrogate U+DFFF
        "\xF4\x90\x80\x80",  // U+110000
        "\xF5\x80\x80\x80",  // lead byte F5
        "\x80",              // lone continuation byte
        "\xE5\xB1",          // cut short
        "\xE5\x41\xB1",      // continuation missing
    };
    for (const char* text : invalid)
        EXPECT_FALSE(IsValidUtf8(text)) << testing::PrintToString(std::string(text));
}
