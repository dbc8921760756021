// Opening the probe for the main window: the identity checks and their messages, the watch
// thread, failures that leave no driver behind, and the identity text.
#include <gtest/gtest.h>

#include "ProbeLinkFixture.h"
#include "probe/OpenProbe.h"
#include "probe/ProbeIdentityText.h"

using namespace probetest;

namespace {

// What OpenProbe asks of the main window.
struct HostDouble : IProbeHost {
    void* GetWindowHandle() override { return this; }
    bool HasLiveImageProcessor() override { return hasImageProcessor; }
    bool InitProbeImaging() override {
        ++imagingSetUps;
        return imagingWorks;
    }
    ProbeIdentity GetRememberedProbeIdentity() override { return remembered; }
    bool IsProbeLost() override { return lost; }
    void WaitImageThreadIdle() override { ++idleWaits; }

    bool hasImageProcessor = true;
    bool imagingWorks = true;
    ProbeIdentity remembered;
    bool lost = false;
    int imagingSetUps = 0;
    int idleWaits = 0;
};

class OpenProbeTest : public ProbeLinkTest {
protected:
    void TearDown() override {
        ShutdownProbe(&host);
        ProbeLinkTest::TearDown();
    }
    sim::SimOptions Identity(uint32_t hardwareId, uint32_t versionB = 0x20012901,
                             uint32_t versionA = 0x20012901) {
        sim::SimOptions o = Stepped();
        o.hardwareId = hardwareId;
        o.versionB = versionB;
        o.versionA = versionA;
        return o;
    }
    void ExpectNoDriver() {
        EXPECT_EQ(g_pProbe.load(), nullptr);
        EXPECT_EQ(g_pProbeThread, nullptr);
        EXPECT_FALSE(UsbProbeIsOpen());
        if (device) {
            EXPECT_FALSE(Sim().State().fileOpen);
        }
    }

    HostDouble host;
    testsupport::MessageBoxRecorder boxes;
};

}  // namespace

TEST_F(OpenProbeTest, ASupportedProbeIsSetUpAndWatched) {
    Attach();
    ASSERT_TRUE(OpenProbe(&host));
    ASSERT_NE(g_pProbe.load(), nullptr);
    EXPECT_EQ(g_pProbe.load()->GetOwnerWindow(), &host);
    ASSERT_NE(g_pProbeThread, nullptr);
    EXPECT_TRUE(g_pProbeThread->joinable());
    EXPECT_EQ(host.imagingSetUps, 1);
    EXPECT_TRUE(boxes.shown().empty());
    // The watch loop ends on request; the thread reports a stop-requested end.
    g_pProbe.load()->RequestStop();
    JoinProbeThread();
    EXPECT_EQ(g_pProbeThread, nullptr);
}

TEST_F(OpenProbeTest, NoProbeIsReported) {
    EXPECT_FALSE(OpenProbe(&host));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "probe not found");
    EXPECT_EQ(boxes.shown()[0].caption, "Error");
    EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Information);
    EXPECT_EQ(host.imagingSetUps, 0);
    ExpectNoDriver();
}

TEST_F(OpenProbeTest, AnUnsupportedProbeIsReportedWithItsIdentity) {
    struct Case {
        sim::SimOptions options;
        const char* text;
    };
    const Case cases[] = {
        {Identity(0x01020000), "This probe is not supported.\r\nH/W: 01020000-20012901-20012901"},
        {Identity(0x01010000, 0x18093001, 0x18091803),
         "This probe is not supported.\r\nH/W: 01010000-18093001-18091803"},
        {WithFaults("identity-unreadable"), "This probe is not supported.\r\nH/W:         -"},
    };
    for (const Case& c : cases) {
        Attach(c.options);
        EXPECT_FALSE(OpenProbe(&host));
        ASSERT_FALSE(boxes.shown().empty());
        EXPECT_EQ(boxes.shown().back().text, c.text);
        EXPECT_EQ(boxes.shown().back().caption, "Error");
        EXPECT_EQ(host.imagingSetUps, 0);
        ExpectNoDriver();
        usbdriver::DetachAllDevices();
    }
}

TEST_F(OpenProbeTest, AfterASuspendOnlyTheSameProbeIsAccepted) {
    Attach();
    host.remembered = {0x01010010, 0x20012901, 0x20012901};  // a linear probe was set up before
    host.lost = true;
    EXPECT_FALSE(OpenProbe(&host));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Please Quit this Application and Reconnect the Probe");
    ExpectNoDriver();

    host.lost = false;  // a different probe without a suspend: the usual message
    EXPECT_FALSE(OpenProbe(&host));
    EXPECT_EQ(boxes.shown().back().text, "This probe is not supported.\r\nH/W: 01010000-20012901-20012901");

    host.remembered = {0x01010000, 0x20012901, 0x20012901};
    host.lost = true;
    EXPECT_TRUE(OpenProbe(&host));  // the same probe again
    EXPECT_EQ(boxes.shown().size(), 2u);
}

TEST_F(OpenProbeTest, OpeningWhileADriverExistsShutsItDown) {
    Attach();
    ASSERT_TRUE(OpenProbe(&host));
    ASSERT_EQ(g_pProbe.load()->StartStreaming(), 1);
    g_pProbe.load()->SetScanState(ProbeScanLive);
    EXPECT_FALSE(OpenProbe(&host));
    EXPECT_EQ(host.idleWaits, 1);
    ExpectNoDriver();
    EXPECT_FALSE(UsbProbeIsRunning());
    EXPECT_TRUE(OpenProbe(&host));  // and the next call opens again
}

TEST_F(OpenProbeTest, WithoutAMainWindowOrImageProcessorNothingIsOpened) {
    Attach();
    EXPECT_FALSE(OpenProbe(nullptr));
    host.hasImageProcessor = false;
    EXPECT_FALSE(OpenProbe(&host));
    EXPECT_TRUE(boxes.shown().empty());
    ExpectNoDriver();
}

TEST_F(OpenProbeTest, AFailedImagingSetUpClosesTheDriverSilently) {
    Attach();
    host.imagingWorks = false;
    EXPECT_FALSE(OpenProbe(&host));
    EXPECT_EQ(host.imagingSetUps, 1);
    EXPECT_TRUE(boxes.shown().empty());
    ExpectNoDriver();
}

TEST(ProbeIdentityText, FormatsTheThreeWordsOrNothing) {
    EXPECT_EQ(FormatHardwareId(0x01010010, 0x18093001, 0x18091803), "01010010-18093001-18091803");
    EXPECT_EQ(FormatHardwareId(0x1, 0x2, 0xABCDEF), "00000001-00000002-00ABCDEF");
    EXPECT_EQ(FormatHardwareId(0x01010000, 0xFFFFFFFF, 0x20012901), "");
    EXPECT_EQ(FormatHardwareId(0x01010000, 0x20012901, 0), "");
    EXPECT_EQ(FormatHardwareId(0, 0, 0), "");  // no probe to ask
    EXPECT_EQ(GetHardwareIdLine(), "H/W:         -");
}
