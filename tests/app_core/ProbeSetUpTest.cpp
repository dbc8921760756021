// The raw frame buffers and the probe keys saved at close, on a probe driver that only keeps
// values.
#include "CoreFixture.h"
#include "FakeProbe.h"
#include "probe/RawBuf.h"

using namespace coretest;
using namespace maindlg;

namespace {

class ProbeSetUpTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        Create();
        probe = new FakeProbe;
        g_pProbe = probe;  // the close handler deletes it
    }
    void TearDown() override {
        CoreTest::TearDown();
        g_pProbe = nullptr;
    }
    FakeProbe* probe = nullptr;
};

}  // namespace

TEST_F(ProbeSetUpTest, BuffersAreKeptForTheSameFrameSizeAndReplacedForAnother) {
    ASSERT_TRUE(dlg->AllocRawBuffers());
    ASSERT_EQ(dlg->m_lstRawBuffers.GetCountLocked(), 5u);
    EXPECT_EQ(probe->returned.size(), 5u);  // each published as cleared, back to the probe
    std::vector<CRawBuf*> first(probe->returned);
    probe->returned.clear();
    ASSERT_TRUE(dlg->AllocRawBuffers());
    EXPECT_EQ(probe->returned, first);
    probe->returned.clear();
    probe->samples = 128;
    ASSERT_TRUE(dlg->AllocRawBuffers());
    ASSERT_EQ(probe->returned.size(), 5u);
    EXPECT_EQ(probe->returned[0]->BytesPerLine(), 128u);
}

TEST_F(ProbeSetUpTest, BuffersWhoseRowsCannotBeMadeAreNotListed) {
    probe->samples = 0;  // a probe that reports no samples: no buffer gets rows
    ASSERT_TRUE(dlg->AllocRawBuffers());
    EXPECT_EQ(dlg->m_lstRawBuffers.GetCountLocked(), 0u);
    EXPECT_TRUE(probe->returned.empty());
}

TEST_F(ProbeSetUpTest, AFocusOfZeroIsNotSavedAndAFrequencyIndexOfZeroIs) {
    probe->focus = 0;
    probe->tx = 0;
    dlg->OnClose();
    ResetSettingsForTesting();
    EXPECT_EQ(GetSettingInt(SettingSectionProbeConvex, SettingKeyTable::focus, -1), -1);
    EXPECT_EQ(GetSettingInt(SettingSectionProbeConvex, SettingKeyTable::tx_freq, -1), 0);
    EXPECT_EQ(GetSettingInt(SettingSectionProbeConvex, SettingKeyTable::gain, -1), 50);
}
