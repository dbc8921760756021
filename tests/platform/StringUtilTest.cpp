#include "platform/StringUtil.h"

#include <clocale>
#include <cstdint>
#include <gtest/gtest.h>

using namespace platform;

TEST(Parse, FollowsTheCLibraryAndClampsTo32Bits) {
    struct Case {
        const char* text;
        int32_t asInt;
        uint32_t asHex;
    };
    const Case cases[] = {
        {"12abc", 12, 0x12abc},   {"  -7", -7, 0xFFFFFFF9u}, {"", 0, 0},          {"xyz", 0, 0},
        {"0x1F", 0, 0x1F},        {"99999999999", INT32_MAX, UINT32_MAX},         {"-99999999999", INT32_MIN, UINT32_MAX},
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
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(Format("%lf", 1.5), "1.500000");
    EXPECT_DOUBLE_EQ(ParseDouble("2.25"), 2.25);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(Format("%05d|%s", 42, "x"), "00042|x");
}

TEST(Utf8, CountsCodePoints) {
    EXPECT_EQ(CountCodePoints("abc"), 3u);
    EXPECT_EQ(CountCodePoints("\xE5\xB1\xB1\xE7\x94\xB0"), 2u);  // two kanji
    EXPECT_EQ(TruncateCodePoints("\xE5\xB1\xB1\xE7\x94\xB0x", 1), "\xE5\xB1\xB1");
    EXPECT_TRUE(IsValidUtf8("Gr\xC3\xBC\xC3\x9F"));
    EXPECT_FALSE(IsValidUtf8("bad\xFF"));
}
