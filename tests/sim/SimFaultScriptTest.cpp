#include "sim/SimFaultScript.h"

#include <gtest/gtest.h>

using usbdriver::sim::SimFault;
using usbdriver::sim::SimFaultKind;
using usbdriver::sim::SimFaultScript;

TEST(SimFaultScript, ParsesEveryKindWithItsKeys) {
    SimFaultScript script;
    std::string error;
    ASSERT_TRUE(SimFaultScript::Parse(
        "drop-line frame=3 line=57; duplicate-line frame=4 line=0\n"
        "bad-sequence frame=5   # the header\n"
        "bad-magic frame=6 line=9; header-only frame=7 count=2; delay-reply command=0x200A occurrence=2\n"
        "reply-code command=0xF001 code=0x1234; reply-status command=0x1003 status=0; no-reply command=2\n"
        "settings-lost command=0x0001; identity-unreadable; stall frame=40; fail-read read=3 pipe=0x82 "
        "error=121\n"
        "unplug frame=200",
        script, error))
        << error;
    ASSERT_EQ(script.Faults().size(), 14u);
    const SimFault& delay = script.Faults()[5];
    EXPECT_EQ(delay.kind, SimFaultKind::DelayReply);
    EXPECT_EQ(delay.command, 0x200A);
    EXPECT_EQ(delay.occurrence, 2u);
    const SimFault& fail = script.Faults()[12];
    EXPECT_EQ(fail.pipe, 0x82);
    EXPECT_EQ(fail.value, 121u);
}

TEST(SimFaultScript, RefusesBadEntriesNamingThem) {
    struct Case {
        const char* text;
        const char* mentions;
    };
    const Case cases[] = {
        {"drop-line frame=3", "line"},
        {"explode frame=1", "explode"},
        {"stall", "frame"},
        {"drop-line frame=3 line=128", "out of range"},
        {"unplug when=later", "key=number"},
        {"reply-code code=5", "command"},
        {"fail-read pipe=0x83", "read"},
        {"bad-magic frame=-1", "key=number"},
    };
    for (const Case& c : cases) {
        SimFaultScript script;
        std::string error;
        EXPECT_FALSE(SimFaultScript::Parse(c.text, script, error)) << c.text;
        EXPECT_NE(error.find(c.mentions), std::string::npos) << c.text << " -> " << error;
    }
}

TEST(SimFaultScript, MatchesFramesOccurrencesAndReadsInTheirRanges) {
    SimFaultScript script;
    std::string error;
    ASSERT_TRUE(
        SimFaultScript::Parse("header-only frame=5 count=2; no-reply command=0x2 occurrence=3 count=0;"
                              "fail-read read=2; drop-line frame=1 line=7",
                              script, error));
    EXPECT_FALSE(script.ForFrame(SimFaultKind::HeaderOnly, 4));
    EXPECT_TRUE(script.ForFrame(SimFaultKind::HeaderOnly, 5));
    EXPECT_TRUE(script.ForFrame(SimFaultKind::HeaderOnly, 6));
    EXPECT_FALSE(script.ForFrame(SimFaultKind::HeaderOnly, 7));
    EXPECT_FALSE(script.ForCommand(SimFaultKind::NoReply, 0x2, 2));
    EXPECT_TRUE(script.ForCommand(SimFaultKind::NoReply, 0x2, 1000));  // count 0: from then on
    EXPECT_FALSE(script.ForCommand(SimFaultKind::NoReply, 0x1, 3));
    EXPECT_TRUE(script.ForRead(SimFaultKind::FailRead, 0x83, 2));
    EXPECT_FALSE(script.ForRead(SimFaultKind::FailRead, 0x82, 2));
    EXPECT_TRUE(script.ForFrame(SimFaultKind::DropLine, 1, 7));
    EXPECT_FALSE(script.ForFrame(SimFaultKind::DropLine, 1, 8));
    EXPECT_FALSE(script.ForFrame(SimFaultKind::DropLine, 1));  // the header is not line 7
}

// Numbers are decimal (a leading zero changes nothing) or hexadecimal after 0x; nothing else.
TEST(SimFaultScript, ReadsNumbersAsDecimalOrHexadecimal) {
    struct Case {
        const char* text;
        bool valid;
        uint64_t value;
    };
    const Case cases[] = {
        {"010", true, 10},
        {"08", true, 8},
        {"0", true, 0},
        {"0x10", true, 16},
        {"0X1f", true, 31},
        {"0x", false, 0},
        {"0x1G", false, 0},
        {"1e3", false, 0},
        {" 5", false, 0},
        {"+5", false, 0},
        {"", false, 0},
        {"-1", false, 0},
        {"18446744073709551616", false, 0},
    };
    for (const Case& c : cases) {
        uint64_t value = 0;
        EXPECT_EQ(usbdriver::sim::ParseNumber(c.text, value), c.valid) << '"' << c.text << '"';
        if (c.valid) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }

    SimFaultScript script;
    std::string error;
    ASSERT_TRUE(SimFaultScript::Parse("drop-line frame=010 line=09", script, error)) << error;
    EXPECT_TRUE(script.ForFrame(SimFaultKind::DropLine, 10, 9));
}
