#include "common/BitmapInfo.h"

#include <gtest/gtest.h>

#include "tests/common/ArchiveTestFixture.h"

using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

platform::SystemTime CaptureTime() {
    return MakeTime(2020, 8, 20, 10, 2, 3, 45);
}

std::string SidecarXml(const std::string& syntax, const std::string& children) {
    return "<?xml version=\"1.0\"?><quarnet><image_info syntax=\"" + syntax + "\">" + children +
           "</image_info></quarnet>";
}

using BitmapInfoTest = ArchiveTest;

}  // namespace

TEST_F(BitmapInfoTest, SidecarRoundTripWithExactBytesAndWrittenOnce) {
    const std::string path = PatientFolder("0001") + "/20200820100203.cine/001.info";
    const CBitmapInfo info(path, CaptureTime(), 120, 2, 1, 50, -3, 1.0);
    ASSERT_TRUE(info.Save());  // creates the folders
    const std::string bytes = ReadAll(path);
    EXPECT_EQ(bytes,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<quarnet>\r\n"
              "    <image_info syntax=\"1\">\r\n"
              "        <datetime>08/20/2020 10:02:03.045</datetime>\r\n"
              "        <depth>120</depth>\r\n"
              "        <focus>2</focus>\r\n"
              "        <freq_mode>1</freq_mode>\r\n"
              "        <gain>50</gain>\r\n"
              "        <contrast>-3</contrast>\r\n"
              "        <gamma>1.000000</gamma>\r\n"
              "    </image_info>\r\n"
              "</quarnet>\r\n");

    CBitmapInfo back;
    ASSERT_TRUE(back.LoadXml(path));
    EXPECT_EQ(back.path, "");
    platform::SystemTime expected = CaptureTime();
    expected.wDayOfWeek = back.time.wDayOfWeek;  // not read from the file
    EXPECT_EQ(back.time, expected);
    EXPECT_EQ(back.depth, 120);
    EXPECT_EQ(back.focus, 2);
    EXPECT_EQ(back.freq_mode, 1);
    EXPECT_EQ(back.gain, 50);
    EXPECT_EQ(back.contrast, -3);
    EXPECT_EQ(back.gamma, 1.0);

    const CBitmapInfo second(path, CaptureTime(), 60, 0, 0, 0, 0, 2.2);
    EXPECT_FALSE(second.Save());
    EXPECT_EQ(ReadAll(path), bytes);
}

TEST_F(BitmapInfoTest, IncompleteSidecarKeepsWhatItCouldReadAndFails) {
    const std::string path = dir / "a.info";
    WriteAll(path, SidecarXml("1",
                              "<datetime>08/20/2020 10:02</datetime><depth>80</depth><freq_mode>2</freq_mode>"
                              "<gain>40</gain><contrast>55</contrast><gamma>0.8</gamma>"));
    CBitmapInfo info;
    EXPECT_FALSE(info.LoadXml(path));  // no focus
    EXPECT_EQ(info.time.wYear, 2020);
    EXPECT_EQ(info.time.wMinute, 2);
    EXPECT_EQ(info.time.wSecond, 0);  // missing numbers count as 0
    EXPECT_EQ(info.depth, 80);
    EXPECT_EQ(info.focus, 0);
    EXPECT_EQ(info.freq_mode, 2);
    EXPECT_EQ(info.gamma, 0.8);
}

TEST_F(BitmapInfoTest, WrongSyntaxOrElementGivesAClearedRecord) {
    const std::string full =
        "<datetime>08/20/2020 "
        "10:02:03.045</datetime><depth>80</depth><focus>1</focus><freq_mode>2</freq_mode>"
        "<gain>40</gain><contrast>55</contrast><gamma>0.8</gamma>";
    for (const std::string& xml : {SidecarXml("2", full), SidecarXml("", full),
                                   std::string("<quarnet><store_info syntax=\"1\"/></quarnet>")}) {
        const std::string path = dir / "b.info";
        WriteAll(path, xml);
        CBitmapInfo info;
        EXPECT_FALSE(info.LoadXml(path)) << xml;
        EXPECT_EQ(info.depth, 0);
        EXPECT_EQ(info.time, platform::GetLocalTime());  // the cleared time is now
    }
}

TEST_F(BitmapInfoTest, FailedWriteIsReportedAndLeavesNoSidecar) {
    const std::string path = dir / "c.info";
    platform::SetWriteFaultHook([](const std::string&) { return true; });
    EXPECT_FALSE(CBitmapInfo(path, CaptureTime(), 1, 1, 1, 1, 1, 1.0).Save());
    EXPECT_FALSE(platform::PathExists(path));
}
