// The "Encoding" window of a recording's stop is painted, caption and bar, before the encode
// (which dispatches nothing) begins: never an empty frame on the display.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/eventfilter.h>

#include "app/ProgressDlg.h"
#include "app/WxRecorderUi.h"
#include "tests/app/WxTestSupport.h"

namespace {

// Counts the paints of progress windows, with the caption each showed.
class ProgressPaints : public wxEventFilter {
public:
    ProgressPaints() { wxEvtHandler::AddFilter(this); }
    ~ProgressPaints() override { wxEvtHandler::RemoveFilter(this); }
    int FilterEvent(wxEvent& event) override {
        if (event.GetEventType() == wxEVT_PAINT)
            if (auto* progress = dynamic_cast<CProgressDlg*>(event.GetEventObject()))
                captions.push_back(progress->m_ctlCaption->GetLabel().utf8_string());
        return Event_Skip;
    }
    std::vector<std::string> captions;
};

class ProgressWindowTest : public wxtest::WindowTest {};

TEST_F(ProgressWindowTest, TheEncodingWindowIsPaintedBeforeTheEncodeBegins) {
    CWxRecorderUi ui(frame, frame);
    for (int round = 0; round < 2; ++round) {  // a second recording's stop as well
        SCOPED_TRACE(round);
        ProgressPaints paints;
        ui.BeginEncoding();
        // Nothing is dispatched from here on until the encode ends, as in a stop.
        ASSERT_FALSE(paints.captions.empty()) << "the Encoding window was not painted";
        EXPECT_EQ(paints.captions.back(), "Encoding");
        ui.EndEncoding();
        wxtest::Flush();
    }
}

// While it waits for the paint, nothing queued for the window code runs: the caller is in the
// middle of a stop or an export.
TEST_F(ProgressWindowTest, TheWaitForThePaintRunsNothingQueued) {
    CProgressDlg progress;
    progress.Create(frame);
    bool ran = false;
    wxTheApp->CallAfter([&] { ran = true; });
    progress.ShowDrawn();
    EXPECT_TRUE(progress.Painted());
    EXPECT_FALSE(ran) << "a queued call ran inside the wait for the paint";
    progress.Hide();
    wxtest::Flush();
    EXPECT_TRUE(ran);
}

}  // namespace
