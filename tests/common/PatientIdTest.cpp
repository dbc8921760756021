#include "common/PatientId.h"

#include <gtest/gtest.h>

TEST(PatientIdTest, IdsThatCanNameAPatientFolder) {
    const std::string accepted[] = {
        "1", "0001", "12345", "A.B", "ab c", "M\xC3\xBCller", std::string(251, '7')};
    for (const std::string& id : accepted) {
        EXPECT_TRUE(IsValidPatientId(id)) << id;
    }
}

TEST(PatientIdTest, IdsThatCouldLeaveTheArchiveOrNameNoFileAreRefused) {
    const std::string refused[] = {
        "",
        ".",
        "..",
        "../0001",
        "a..b",
        "a/b",
        "/etc",
        "a\\b",
        std::string("a\0b", 3),
        "tab\there",
        "line\n",
        "del\x7F",
        "nel\xC2\x85",   // C1 control
        "bad\xFF utf8",  // not UTF-8
        "a\xC0\xAF"
        "b",                    // overlong '/'
        "\xC0\xAE\xC0\xAE",     // overlong ".."
        "x\xED\xA0\x80",        // surrogate
        "x\xF4\x90\x80\x80",    // above U+10FFFF
        "x\xF5\x80\x80\x80",    // lead byte F5
        std::string(252, '7'),  // with ".xml" longer than a file name may be
    };
    for (const std::string& id : refused)
        EXPECT_FALSE(IsValidPatientId(id)) << id;
}
