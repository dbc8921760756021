// Screen layouts 18 and 19 and the layout companions, the result-label colours, and the
// window plumbing (resize, move, the finger loupe's place) on the headless core.
#include "CoreFixture.h"
#include "InputFakes.h"
#include "app/core/LabelColours.h"

using namespace coretest;
using namespace maindlg;

namespace {

class PlumbingTest : public CoreTest {
protected:
    CKALVEXDlg& Open() {
        MainDlgPorts ports = side.Ports();
        ports.measurement = &measure;
        ports.obPanel = &ob;
        ports.obgy = &obgy;
        ports.recorder = &recorder;
        ports.thumbnails = &thumbs;
        InitWith(ports);
        dlg->m_bExamList = true;
        return *dlg;
    }
    void Layout(int run, int layout, int subItem = 0) {
        dlg->m_nRunState = run;
        dlg->m_nScreenLayout = layout;
        dlg->SetScreenLayout(layout, subItem, true);
    }
    Colorref Overlay(int k) const {
        const uint32_t p = CCstmPictureCtrl::kOverlayColours[static_cast<size_t>(k)];
        return Colorref::FromRgb(PixelR(p), PixelG(p), PixelB(p));
    }

    RecordingMeasurement measure;
    FakeObPanel ob;
    FakeObgy obgy;
    FakeRecorder recorder;
    FakeThumbnails thumbs;
};

}  // namespace

TEST_F(PlumbingTest, ObItemLayoutsEighteenAndNineteen) {
    Open();
    obgy.values = {{1, 0.0}, {5, 41.25}, {6, 250.0}};  // BPD 0, FL, AC
    ob.sub[IDC_OB_BPD] = "old BPD";
    dlg->m_nEfwEquation = 1;
    for (int layout : {18, 19}) {
        dlg->m_nObGaModel = 3;
        Layout(kFrozen, layout, 6);
        EXPECT_TRUE(ob.itemsEnabled);
        EXPECT_EQ(ob.sub[IDC_OB_BPD], "old BPD");  // 0 keeps its sub-caption
        EXPECT_EQ(ob.sub[IDC_OB_FL], "41.2 mm");
        EXPECT_EQ(ob.sub[IDC_OB_AC], "250.0 mm");
        EXPECT_EQ(ob.acColour, MakePixel(255, 192, 203));
        EXPECT_EQ(ob.model, "Hadlock");
        EXPECT_EQ(ob.modeLayout, layout);
        EXPECT_EQ(ob.modeSubItem, 6);
        const FakeButton& rec = side.live.buttons[IDC_LIVE_REC];
        EXPECT_EQ(rec.caption, "Print");
        EXPECT_TRUE(rec.enabled);
        EXPECT_FALSE(side.live.IsButtonEnabled(IDC_LIVE_BB));
        EXPECT_TRUE(side.live.IsButtonEnabled(IDC_LIVE_BM));
        EXPECT_FALSE(side.live.shown);
        for (int id : {IDC_FREEZE, IDC_BTN4, IDC_BTN5, IDC_BTN6, IDC_BTN7, IDC_QUIT, IDC_DIST, IDC_AREA,
                       IDC_ELLIPSE, IDC_SETTINGS, IDC_STORE_CAPTION, IDC_MEASURE_CAPTION})
            EXPECT_FALSE(dlg->Controls().IsShown(id)) << id;
        EXPECT_TRUE(dlg->Controls().IsEnabled(IDC_QUIT));
        EXPECT_FALSE(dlg->Controls().IsEnabled(IDC_DIST));
        EXPECT_EQ(dlg->Controls().Text(IDC_FREEZE), "UnFreeze");
        for (int id : kResultLabels)
            EXPECT_FALSE(dlg->Controls().IsShown(id));
    }
    // A growth model outside the four tables: no items to measure, whichever side it is on.
    for (int model : {4, -1}) {
        dlg->m_nObGaModel = model;
        Layout(kFrozen, 18);
        EXPECT_FALSE(ob.itemsEnabled) << model;
    }
    dlg->m_nEfwEquation = 0;
    Layout(kFrozen, 18);
    EXPECT_EQ(ob.model, "JSUM");
}

// Layouts 0 to 3, cell by cell: what each one does to every control of the main dialog and
// of the live panel, under each condition a cell depends on (the STC panel up, a stored still,
// the M-mode flag). Every control starts from one side (all shown, enabled and highlighted,
// or the opposite), so a cell the layout must leave alone is checked from both.
TEST_F(PlumbingTest, LayoutsZeroToThreeDoWhatTheirTableSaysToEachControl) {
    Open();
    constexpr int8_t K = -1;  // unchanged
    constexpr int8_t O = -2;  // enabled only while OB/GY is available and a still is stored
    struct Cell {
        int8_t show = K, enable = K, state = K;
    };
    struct Row {
        int id;
        Cell cell[4];
    };
    const Cell hidden{0, K, K}, shown{1, K, K}, off{0, 0, K};
    std::vector<Row> rows = {
        {IDC_VIEW_MAIN, {shown, shown, hidden, hidden}},
        {IDC_VIEW_LEFT, {hidden, hidden, shown, shown}},
        {IDC_VIEW_RIGHT, {hidden, hidden, shown, shown}},
        {IDC_FREEZE, {shown, hidden, hidden, hidden}},
        {IDC_BTN4, {{1, 0, K}, {0, 1, K}, {0, 1, K}, {0, 1, K}}},
        {IDC_BTN5, {{1, 0, K}, {0, 1, K}, {0, 1, K}, {0, 1, K}}},
        {IDC_BTN6, {{1, O, K}, off, hidden, hidden}},
        {IDC_BTN7, {{1, 1, 5}, {0, 0, 5}, {0, K, 5}, {0, K, 5}}},
        {IDC_QUIT, {{1, 1, 5}, {0, 0, 5}, off, off}},
        {IDC_STORE_CAPTION, {shown, hidden, hidden, hidden}},
        {IDC_MEASURE_CAPTION, {shown, hidden, hidden, hidden}},
        {IDC_CLOCK, {{}, shown, shown, shown}},
        {IDC_COUNTER, {shown, shown, shown, shown}},
        {IDC_STATUS, {hidden, shown, shown, shown}},
        {IDC_PREVIEW, {hidden, {}, {}, {}}},
        {IDC_THUMB_CAPTION, {{}, hidden, hidden, hidden}},
        {IDC_THUMBNAILS, {shown, hidden, hidden, hidden}},
    };
    for (int id : {IDC_DIST, IDC_AREA, IDC_ELLIPSE, IDC_SETTINGS})
        rows.push_back({id, {shown, off, off, off}});
    for (int id : {IDC_REVIEW_TIME, IDC_REVIEW_PREV, IDC_REVIEW_PLAY, IDC_REVIEW_NEXT, IDC_REVIEW_STOP,
                   IDC_DELETE, IDC_EXP_JPEG, IDC_EXP_VIDEO, IDC_PRINT})
        rows.push_back({id, {hidden, hidden, hidden, hidden}});
    for (int id : kResultLabels)
        rows.push_back({id, {hidden, hidden, hidden, hidden}});

    // The live panel's buttons: enabled and state. STC depends on the STC panel (below).
    struct LiveRow {
        int id;
        Cell cell[4];
    };
    const LiveRow liveRows[] = {
        {IDC_LIVE_BB, {{K, 0, 5}, {K, 1, 5}, {K, 1, 6}, {K, 1, 5}}},
        {IDC_LIVE_BM, {{K, 0, 5}, {K, 1, 5}, {K, 1, 5}, {K, 1, K}}},  // 3: by the M-mode flag
        {IDC_LIVE_REC, {{K, 0, K}, {K, 1, K}, {K, 1, K}, {K, 1, 5}}},
        {IDC_LIVE_SYNCVIEW, {{K, 1, K}, {K, 1, 5}, {}, {}}},
    };

    CMainControlModel& model = const_cast<CMainControlModel&>(dlg->Controls());
    CImageProc& proc = *dlg->m_pLiveProc;
    for (bool stcUp : {false, true}) {
        for (auto [obAvailable, still] : {std::pair{true, false}, {true, true}, {false, true}}) {
            for (bool from : {false, true}) {
                for (int layout = 0; layout < 4; ++layout) {
                    const std::string when = "layout " + std::to_string(layout) + (stcUp ? ", STC up" : "") +
                                             (still ? ", a still stored" : "") +
                                             (obAvailable ? "" : ", no OB/GY") +
                                             (from ? ", from on" : ", from off");
                    const int fromState = from ? kStateHighlighted : kStateNormal;
                    for (const Row& r : rows) {
                        model.Keep(r.id, from);
                        model.Enable(r.id, from);
                        model.SetButtonState(r.id, fromState);
                        model.SetText(r.id, "text");
                    }
                    for (int id : {IDC_LIVE_BB, IDC_LIVE_BM, IDC_LIVE_REC, IDC_LIVE_SYNCVIEW, IDC_LIVE_STC}) {
                        side.live.buttons[id] = FakeButton{};
                        side.live.buttons[id].enabled = from;
                        side.live.buttons[id].state = fromState;
                    }
                    side.stc.backEnabled = from;
                    side.right.shown = side.live.shown = side.stc.shown = ob.shown = from;
                    proc.m_bStcPanelShown = stcUp;
                    proc.m_bMMode = from;
                    thumbs.stored = still;
                    dlg->m_bObAvailable = obAvailable;
                    Layout(layout == 0 ? kFrozen : kLive, layout);

                    for (const Row& r : rows) {
                        const Cell c = r.cell[layout];
                        const CMainControlModel::State& s = dlg->Controls().Get(r.id);
                        EXPECT_EQ(s.shown, c.show == K ? from : c.show == 1) << when << ": shown of " << r.id;
                        const bool enabled = c.enable == O   ? obAvailable && still
                                             : c.enable == K ? from
                                                             : c.enable == 1;
                        EXPECT_EQ(s.enabled, enabled) << when << ": enabled of " << r.id;
                        EXPECT_EQ(s.buttonState, c.state == K ? fromState : c.state)
                            << when << ": state of " << r.id;
                    }
                    for (int id : kResultLabels)
                        EXPECT_EQ(dlg->Controls().Text(id), "") << when << ": text of " << id;
                    EXPECT_EQ(dlg->Controls().Text(IDC_FREEZE), layout == 0 ? "UnFreeze" : "Freeze") << when;

                    for (const LiveRow& r : liveRows) {
                        const Cell c = r.cell[layout];
                        const FakeButton& b = side.live.buttons[r.id];
                        EXPECT_EQ(b.enabled, c.enable == K ? from : c.enable == 1)
                            << when << ": live " << r.id;
                        int state = c.state == K ? fromState : c.state;
                        if (layout == 3 && r.id == IDC_LIVE_BM)
                            state = from ? kStateHighlighted : kStateNormal;  // the flag stays as it was
                        EXPECT_EQ(b.state, state) << when << ": live state of " << r.id;
                    }
                    // STC: off on the frozen screen; live, the STC panel's Back button stands in
                    // for it while that panel is up, except in BB, where it shows the panel is up.
                    const FakeButton& stc = side.live.buttons[IDC_LIVE_STC];
                    if (layout == 0) {
                        EXPECT_FALSE(stc.enabled) << when;
                        EXPECT_EQ(stc.state, kStateNormal) << when;
                        EXPECT_EQ(side.stc.backEnabled, from) << when;
                    } else if (layout == 2 || !stcUp) {
                        EXPECT_TRUE(stc.enabled) << when;
                        EXPECT_EQ(stc.state, layout == 2 && stcUp ? kStateHighlighted : kStateNormal) << when;
                    } else {
                        EXPECT_EQ(stc.enabled, from) << when;
                        EXPECT_EQ(stc.state, fromState) << when;
                        EXPECT_TRUE(side.stc.backEnabled) << when;
                    }
                    const FakeButton& rec = side.live.buttons[IDC_LIVE_REC];
                    EXPECT_EQ(rec.caption, layout == 0 ? "" : "REC") << when;
                    EXPECT_EQ(rec.kind, layout == 0 ? kKindNormal : kKindRec) << when;

                    // The panels: none on the frozen screen; live the right one and, on the
                    // left, the STC panel while it is up, else the live panel.
                    EXPECT_EQ(side.right.shown, layout != 0) << when;
                    EXPECT_EQ(side.live.shown, layout != 0 && !stcUp) << when;
                    EXPECT_EQ(side.stc.shown, layout != 0 && stcUp) << when;
                    EXPECT_EQ(ob.shown, layout != 0 && from) << when;
                    // The M-mode flag: cleared by live B and BB, left by the others.
                    EXPECT_EQ(proc.m_bMMode.load(), (layout == 1 || layout == 2) ? false : from) << when;
                }
            }
        }
    }
}

TEST_F(PlumbingTest, ToolLayoutsAndTheSyncViewRule) {
    Open();
    struct Case {
        int layout;
        bool mainShown;
        int tool;  // pressed tool afterwards
        int faceId;
        ButtonFaces faces;
        bool bmEnabled;
    } cases[] = {
        {8, true, 1, IDC_DIST, {kBmpDistPressed, kBmpDist}, true},
        {9, false, 1, IDC_DIST, {kBmpDistPressed, kBmpDist}, true},
        {10, false, 1, IDC_DIST, {kBmpDistPressed, kBmpDist}, false},
        {11, true, 2, IDC_AREA, {kBmpAreaPressed, kBmpArea}, true},
        {13, false, 2, IDC_AREA, {kBmpAreaPressed, kBmpArea}, false},
        {14, true, 3, IDC_ELLIPSE, {kBmpEllipsePressed, kBmpEllipse}, true},
        {16, false, 3, IDC_ELLIPSE, {kBmpEllipsePressed, kBmpEllipse}, false},
        {17, true, -1, IDC_DIST, {kBmpDist, kBmpDistPressed}, true},
    };
    for (const Case& c : cases) {
        Layout(kFrozen, c.layout);
        EXPECT_EQ(side.views.shown[kViewMain], c.mainShown) << c.layout;
        EXPECT_EQ(side.views.shown[kViewLeft], !c.mainShown) << c.layout;
        EXPECT_EQ(dlg->m_nPressedToolButton, c.tool) << c.layout;
        EXPECT_EQ(dlg->Controls().Get(c.faceId).faces, c.faces) << c.layout;
        EXPECT_EQ(side.live.IsButtonEnabled(IDC_LIVE_BM), c.bmEnabled) << c.layout;
        EXPECT_TRUE(dlg->Controls().IsEnabled(IDC_QUIT)) << c.layout;
    }

    // SyncView while a recording runs: off in layouts 0 and 1, left as it was in 2 and 3.
    dlg->m_bSyncView = true;
    recorder.exists = true;
    recorder.state = 1;
    for (int layout : {0, 1}) {
        side.live.buttons[IDC_LIVE_SYNCVIEW].enabled = true;
        Layout(layout == 0 ? kFrozen : kLive, layout);
        EXPECT_FALSE(side.live.IsButtonEnabled(IDC_LIVE_SYNCVIEW)) << layout;
        EXPECT_EQ(side.live.buttons[IDC_LIVE_SYNCVIEW].sub1, "stop");
        EXPECT_EQ(side.live.buttons[IDC_LIVE_REC].caption, layout == 0 ? "" : "Stop");
    }
    for (int layout : {2, 3}) {
        side.live.buttons[IDC_LIVE_SYNCVIEW].enabled = true;
        Layout(kLive, layout);
        EXPECT_TRUE(side.live.IsButtonEnabled(IDC_LIVE_SYNCVIEW)) << layout;
        EXPECT_EQ(side.live.buttons[IDC_LIVE_REC].kind, kKindRecording);
    }
    // Sub-item 5: the half views keep their OB/GY marks in 2, and in 3 lose them at the end.
    for (int layout : {2, 3}) {
        dlg->m_viewLeft.m_abObgyFlag[0] = 1;
        Layout(kLive, layout, 5);
        EXPECT_EQ(dlg->m_viewLeft.m_abObgyFlag[0], layout == 2 ? 1 : 0) << layout;
    }
}

TEST_F(PlumbingTest, StoreAndMeasureButtonsAndTheLockedArchive) {
    Open();
    Layout(kFrozen, 8);
    dlg->EnableStoreMeasureButtons(false);
    EXPECT_EQ(dlg->Controls().Get(IDC_BTN4).faces, (ButtonFaces{kBmpStillDisabled}));
    EXPECT_EQ(dlg->Controls().Get(IDC_DIST).faces, (ButtonFaces{kBmpDistDisabled}));
    for (int id : {IDC_BTN4, IDC_BTN5, IDC_DIST, IDC_AREA, IDC_ELLIPSE})
        EXPECT_FALSE(dlg->Controls().IsEnabled(id)) << id;
    EXPECT_EQ(dlg->m_nPressedToolButton, -2);
    dlg->EnableStoreMeasureButtons(true);
    EXPECT_EQ(dlg->m_nPressedToolButton, -1);

    // Locking runs the Archive button's action first: back to the exam from the viewer.
    dlg->m_bExamList = false;
    dlg->m_bProbeLost = true;
    Layout(kFrozen, 5);
    ASSERT_TRUE(dlg->Controls().IsEnabled(IDC_BTN7));
    dlg->SetBtn7Locked(true);
    EXPECT_EQ(thumbs.shown, 1);
    EXPECT_FALSE(dlg->Controls().IsEnabled(IDC_BTN7));
    dlg->SetBtn7Locked(true);  // already locked: nothing runs
    EXPECT_EQ(thumbs.shown, 1);
}

TEST_F(PlumbingTest, ResultLabelColours) {
    Open();
    const Colorref back = dlg->m_crBack;
    const Colorref lit = MeasureLabelHighlight(back);
    EXPECT_EQ(lit, Colorref::FromRgb(20, 25, 44));  // the default BCOLOR 0x0E0000

    // Live: colour 0 on the background whatever the tool.
    dlg->m_nRunState = kLive;
    dlg->m_nTool = kToolDistance;
    for (int k = 0; k < 16; ++k) {
        const auto c = dlg->OnCtlColor(kResultLabels[static_cast<size_t>(k)]);
        EXPECT_EQ(c.text, Overlay(0)) << k;
        EXPECT_EQ(c.back, back) << k;
    }

    // Frozen BM, distance, two points on the strip: labels 7 to 9 (group 1) are lit in colour 1.
    dlg->m_nRunState = kFrozen;
    dlg->m_nDisplayMode = kDisplayBM;
    dlg->m_viewRight.m_nDistanceCount = 2;
    dlg->m_viewLeft.m_nDistanceCount = 0;
    for (int k = 7; k <= 9; ++k) {
        const auto c = dlg->OnCtlColor(kResultLabels[static_cast<size_t>(k)]);
        EXPECT_EQ(c.text, Overlay(1)) << k;
        EXPECT_EQ(c.back, lit) << k;
    }
    EXPECT_EQ(dlg->OnCtlColor(kResultLabels[4]).back, back);
    EXPECT_EQ(dlg->OnCtlColor(kResultLabels[0]).back, lit);  // the left view's first pair is under way
    EXPECT_EQ(dlg->OnCtlColor(kResultLabels[2]).text, Overlay(2));
    // Labels 0 to 3 follow the left view's pairs, whatever the main view and the strip hold.
    dlg->m_viewMain.m_nDistanceCount = 6;
    for (int leftCount = 0; leftCount < 8; ++leftCount) {
        dlg->m_viewLeft.m_nDistanceCount = leftCount;
        for (int k = 0; k < 4; ++k) {
            const auto c = dlg->OnCtlColor(kResultLabels[static_cast<size_t>(k)]);
            EXPECT_EQ(c.back, k == leftCount / 2 ? lit : back)
                << "left count " << leftCount << ", label " << k;
            EXPECT_EQ(c.text, Overlay(k)) << k;
        }
    }
    dlg->m_viewMain.m_nDistanceCount = 0;

    // Frozen B, distance: the second values stay plain.
    dlg->m_nDisplayMode = kDisplayB;
    dlg->m_viewMain.m_nDistanceCount = 3;
    EXPECT_EQ(dlg->OnCtlColor(kResultLabels[1]).back, lit);
    EXPECT_EQ(dlg->OnCtlColor(kResultLabels[5]).text, Overlay(0));
    EXPECT_EQ(dlg->OnCtlColor(kResultLabels[5]).back, back);

    // Area after the fourth trace (slot 4): group 0 is lit, the slot the next trace takes.
    dlg->m_nTool = kToolArea;
    dlg->m_viewMain.m_nTraceSlot = 4;
    for (int k : {0, 4, 5, 6}) {
        const auto c = dlg->OnCtlColor(kResultLabels[static_cast<size_t>(k)]);
        EXPECT_EQ(c.text, Overlay(0)) << k;
        EXPECT_EQ(c.back, lit) << k;
    }
    EXPECT_EQ(dlg->OnCtlColor(kResultLabels[7]).text, Overlay(1));
    EXPECT_EQ(dlg->OnCtlColor(kResultLabels[7]).back, back);

    // The statics: captions in the accents, everything else FCOLOR on BCOLOR.
    EXPECT_EQ(dlg->OnCtlColor(IDC_STORE_CAPTION).text, Colorref::FromRgb(31, 117, 192));
    EXPECT_EQ(dlg->OnCtlColor(IDC_MEASURE_CAPTION).text, Colorref::FromRgb(31, 117, 192));
    EXPECT_EQ(dlg->OnCtlColor(IDC_PREVIEW).text, Colorref::FromRgb(192, 160, 31));
    EXPECT_EQ(dlg->OnCtlColor(IDC_CLOCK).text, dlg->m_crText);
    EXPECT_EQ(dlg->OnCtlColor(IDC_CINE_NEXT).back, back);
}

TEST_F(PlumbingTest, MaximiseAndRestoreMoveViewsWithTheirScale) {
    Open();
    StartupRects s = DefaultStartupRects();
    s.main = {190, 40, 670, 520};
    s.left = {190, 40, 430, 520};
    s.right = {430, 40, 670, 520};
    GeometryConstants k;
    k.viewSpan = 480;
    dlg->SetStartupGeometry(s, k);
    Layout(kFrozen, 5);
    dlg->OnSize(true, 1600, 860);
    EXPECT_EQ(dlg->m_nEnlargement, 260);
    EXPECT_EQ(dlg->ViewRect(kViewMain), (draw::Rect{190, 40, 930, 780}));
    EXPECT_DOUBLE_EQ(dlg->m_viewMain.m_dViewScale, 480.0 / 740.0);
    EXPECT_DOUBLE_EQ(dlg->m_viewLeft.m_dViewScale, 240.0 / 370.0);
    // A click at the enlarged view's far corner lands at the back buffer's far corner.
    EXPECT_EQ(dlg->ToImagePoint(kViewMain, {929, 779}), (draw::Point{479, 479}));
    EXPECT_EQ(recorder.moves, 1);
    EXPECT_EQ(dlg->m_nScreenLayout, 5);
    dlg->OnSize(false, 900, 680);
    EXPECT_EQ(dlg->m_nEnlargement, 0);
    EXPECT_EQ(dlg->ViewRect(kViewMain), s.main);
    EXPECT_DOUBLE_EQ(dlg->m_viewMain.m_dViewScale, 1.0);
    EXPECT_DOUBLE_EQ(dlg->m_viewRight.m_dViewScale, 1.0);
}

TEST_F(PlumbingTest, AResizePlacesTheLeftPanelUpAgainAtTheNewHeightAndNothingElse) {
    Open();
    struct Case {
        const char* what;
        int run, layout;
        bool stcUp;
        ISidePanel* panel;
        const draw::Rect* rect;
        int width;  // the panel's anchor's right edge + 1
    } cases[] = {
        {"live B", kLive, 1, false, &side.live, &side.live.rect, 180},
        {"live BB with the STC panel up", kLive, 2, true, &side.stc, &side.stc.rect, 159},
        {"OB/GY item", kFrozen, 18, false, &ob, &ob.rect, 167},
    };
    for (const Case& c : cases) {
        dlg->m_pLiveProc->m_bStcPanelShown = c.stcUp;
        Layout(kFrozen, 0);  // every panel down
        Layout(c.run, c.layout);
        if (c.layout == 18)
            dlg->ShowPanel(true, &ob, IDC_OB_ANCHOR);  // entering the mode puts it up
        ASSERT_TRUE(c.panel->IsShown()) << c.what;
        const int redraws = side.window.redraws;
        for (auto [maximised, client] :
             {std::pair{true, draw::Point{1600, 860}}, {false, draw::Point{900, 680}}}) {
            side.window.client = client;
            dlg->OnSize(maximised, client.x, client.y);
            EXPECT_EQ(*c.rect, (draw::Rect{0, 0, c.width, client.y})) << c.what;
            EXPECT_TRUE(c.panel->IsShown()) << c.what;
        }
        EXPECT_GT(side.window.redraws, redraws) << c.what;
        EXPECT_EQ(dlg->m_nScreenLayout, c.layout) << c.what;
    }
    // Only the panel that is up: the others stay down.
    EXPECT_FALSE(side.stc.shown);
    EXPECT_FALSE(side.live.shown);
}

TEST_F(PlumbingTest, MoveAndTheLoupesPlace) {
    Open();
    // Frozen (the live panel's Freeze toggle on): the camera preview stays.
    dlg->OnMove();
    EXPECT_EQ(recorder.moves, 0);
    side.live.freezeChecked = false;
    dlg->OnMove();
    EXPECT_EQ(recorder.moves, 1);

    dlg->m_bPcMode = true;
    side.loupe.shown = false;
    dlg->ShowFingerView(true);
    EXPECT_FALSE(side.loupe.shown);  // PC mode: no loupe
    dlg->m_bPcMode = false;
    dlg->ShowFingerView(true);
    EXPECT_TRUE(side.loupe.shown);
    dlg->ShowFingerView(false);
    EXPECT_FALSE(side.loupe.shown);
}
