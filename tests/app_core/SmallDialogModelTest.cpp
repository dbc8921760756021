// The small dialogs' models without a display: the notices' paragraphs, the terms-of-use
// text and caption, the About box's lines, the progress window's Cancel rule and the safety
// notice's showing guard.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <thread>

#include "app/core/AboutContent.h"
#include "app/core/EulaNotice.h"
#include "app/core/NoticeParagraphs.h"
#include "app/core/ProgressCancel.h"
#include "app/core/RestrictionGuard.h"
#include "common/AppFolders.h"
#include "common/SettingsStore.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(NoticeParagraphs, SplitsOnBlankLinesDropsNotesAndAlternatesLanguages) {
    const auto paragraphs = SplitNoticeParagraphs(
        "# note\r\nfirst line\r\nsecond line\r\n\r\n\r\n  \n"
        "日本語\n\n# a note between\nthird\n");
    const std::vector<NoticeParagraph> expected = {
        {"first line second line", false}, {"日本語", true}, {"third", false}};
    EXPECT_EQ(paragraphs, expected);
    EXPECT_TRUE(SplitNoticeParagraphs("").empty());
    EXPECT_TRUE(SplitNoticeParagraphs("# only a note\n\n").empty());
}

TEST(EulaNotice, SixBilingualParagraphsEachEndedByABlankLine) {
    const auto paragraphs = EulaParagraphs();
    ASSERT_EQ(paragraphs.size(), 6u);
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        EXPECT_EQ(paragraphs[i].japanese, i % 2 == 1) << i;
        // The pledge has no bullet; the four statements begin with "・".
        EXPECT_EQ(paragraphs[i].text.rfind("・", 0) == 0, i >= 2) << i;
    }
    EXPECT_NE(paragraphs[0].text.find("research or education"), std::string::npos);
    EXPECT_NE(paragraphs[2].text.find("Helvo2100 / Helvo2200"), std::string::npos);
    EXPECT_NE(paragraphs[3].text.find("Ｈｅｌｖｏ２１００ / Ｈｅｌｖｏ２２００"), std::string::npos);
    EXPECT_EQ(paragraphs[3].text.find("Helvo"), std::string::npos)
        << "model names are full-width in Japanese";

    std::string joined;
    for (const auto& p : paragraphs)
        joined += p.text + "\r\n\r\n";
    EXPECT_EQ(BuildEulaNotice(), joined);
    EXPECT_EQ(EulaCaption(), GetProductName() + "  -  Terms of Use agreement.");
}

TEST(RestrictionNotice, EnglishThenJapanese) {
    const auto paragraphs = NoticeParagraphs(resources::Notice::PowerCable);
    ASSERT_EQ(paragraphs.size(), 2u);
    EXPECT_NE(paragraphs[0].text.find("power cable"), std::string::npos);
    EXPECT_TRUE(paragraphs[1].japanese);
}

TEST(AboutContent, CaptionTitleAndTheLineWithoutAProbe) {
    const AboutContent c = MakeAboutContent();
    EXPECT_EQ(c.caption, "Version Information " + GetProductName());
    EXPECT_EQ(c.title, GetProductName() + " Ver1.4.2");
    EXPECT_EQ(c.hardware, "H/W:         -");
    EXPECT_EQ(std::count(c.fixedText.begin(), c.fixedText.end(), '\n'), 1);
}

TEST(ProgressCancel, HiddenInThePcLayoutOnly) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv programData("ProgramData", dir.path());
    ResetSettingsForTesting();
    ResetAppFoldersForTesting();
    EXPECT_FALSE(ProgressShowsCancelButton()) << "PCMODE defaults to 1";
    for (const auto& [pcMode, shown] : {std::pair{1, false}, {0, true}, {2, true}}) {
        ASSERT_TRUE(SetSettingInt(SettingSectionApp, SettingKeyTable::PCMODE, pcMode));
        EXPECT_EQ(ProgressShowsCancelButton(), shown) << pcMode;
    }
    EXPECT_EQ(ProgressCancelCaption(), "Cancel");
    ResetSettingsForTesting();
    ResetAppFoldersForTesting();
}

TEST(RestrictionGuard, ShowsOnceAtATimeAndAgainAfterItEnds) {
    CRestrictionGuard guard;
    EXPECT_TRUE(guard.BeginShow());
    EXPECT_TRUE(guard.IsShowing());
    EXPECT_FALSE(guard.BeginShow()) << "already showing: not shown again";
    EXPECT_TRUE(guard.IsShowing());
    guard.EndShow();
    EXPECT_FALSE(guard.IsShowing());
    EXPECT_TRUE(guard.BeginShow());
}

TEST(RestrictionGuard, AFlagItCannotReachInTimeShowsNothingAndDoesNotHang) {
    CRestrictionGuard guard;
    std::promise<void> locked, release;
    std::thread holder([&] {
        std::lock_guard hold(guard.Mutex());
        locked.set_value();
        release.get_future().wait();
    });
    locked.get_future().wait();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(guard.BeginShow());
    guard.EndShow();  // gives up silently
    EXPECT_GE(std::chrono::steady_clock::now() - start, 2 * CRestrictionGuard::kWait);
    release.set_value();
    holder.join();
    EXPECT_FALSE(guard.IsShowing());
    EXPECT_TRUE(guard.BeginShow());
}

}  // namespace
