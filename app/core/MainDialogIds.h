// Numbers the main window and everything around it share: the controls of the main dialog,
// the side panels' dialog and control ids, the dispatcher's command numbers, the user
// messages, timers, screen layouts, button looks and the picture ids of the bitmap buttons.
#pragma once

#include <array>

namespace maindlg {

// Controls of the main dialog (template 102).
enum ControlId : int {
    IDC_FREEZE = 1001,     // Freeze/UnFreeze toggle; on while frozen
    IDC_BTN4 = 1004,       // still store when frozen, invert when live
    IDC_BTN5 = 1005,       // cine store
    IDC_BTN6 = 1006,       // OB/GY mode
    IDC_BTN7 = 1007,       // "Archive": thumbnail viewer and back
    IDC_VIEW_MAIN = 1011,  // image views
    IDC_VIEW_LEFT = 1012,
    IDC_VIEW_RIGHT = 1014,
    IDC_HEADER = 1018,  // patient header
    IDC_CLOCK = 1019,
    IDC_COUNTER = 1021,  // cine counter
    IDC_QUIT = 1032,
    IDC_PRINT = 1037,  // print of stored items
    IDC_REVIEW_TIME = 1057,
    IDC_REVIEW_PREV = 1058,
    IDC_REVIEW_PLAY = 1059,
    IDC_REVIEW_NEXT = 1060,
    IDC_THUMBNAILS = 1061,
    IDC_REVIEW_STOP = 1062,
    IDC_CINE_PREV = 1144,
    IDC_CINE_NEXT = 1145,
    IDC_DIST = 1162,
    IDC_DELETE = 1163,
    IDC_EXP_JPEG = 1164,
    IDC_THUMB_CAPTION = 1165,
    IDC_EXP_VIDEO = 1166,
    IDC_AREA = 1169,
    IDC_ELLIPSE = 1193,
    IDC_STORE_CAPTION = 1194,
    IDC_MEASURE_CAPTION = 1195,
    IDC_PREVIEW = 1196,
    IDC_SETTINGS = 1197,
    IDC_STATUS = 1220,  // frame rate and probe temperature
};

// The 16 result labels; measurement k of a view writes label k and label 4 + 3k.
inline constexpr std::array<int, 16> kResultLabels = {1024, 1025, 1026, 1027, 1028, 1029, 1031, 1030,
                                                      1038, 1039, 1042, 1043, 1044, 1045, 1046, 1047};

// Every control of template 102, for tables that walk all of them.
inline constexpr std::array<int, 33> kControls = {
    IDC_FREEZE,      IDC_BTN4,        IDC_BTN5,       IDC_BTN6,          IDC_BTN7,
    IDC_VIEW_MAIN,   IDC_VIEW_LEFT,   IDC_VIEW_RIGHT, IDC_HEADER,        IDC_CLOCK,
    IDC_COUNTER,     IDC_QUIT,        IDC_PRINT,      IDC_REVIEW_TIME,   IDC_REVIEW_PREV,
    IDC_REVIEW_PLAY, IDC_REVIEW_NEXT, IDC_THUMBNAILS, IDC_REVIEW_STOP,   IDC_CINE_PREV,
    IDC_CINE_NEXT,   IDC_DIST,        IDC_DELETE,     IDC_EXP_JPEG,      IDC_THUMB_CAPTION,
    IDC_EXP_VIDEO,   IDC_AREA,        IDC_ELLIPSE,    IDC_STORE_CAPTION, IDC_MEASURE_CAPTION,
    IDC_PREVIEW,     IDC_SETTINGS,    IDC_STATUS};

// View codes: the main, left and right image view.
enum ViewCode : int { kViewMain = 1, kViewLeft = 11, kViewRight = 12 };

// Side panels (dialog ids) and their controls the main window names.
enum PanelId : int { kStcPanel = 221, kLivePanel = 222, kObPanel = 223, kRightPanel = 229 };
enum LivePanelControl : int {
    IDC_LIVE_FREEZE = 1001,
    IDC_LIVE_REC = 1037,
    IDC_LIVE_GRADATION = 1041,
    IDC_LIVE_SYNCVIEW = 1048,
    IDC_LIVE_STC = 1166,
    IDC_LIVE_BB = 1177,
    IDC_LIVE_BM = 1178,
    IDC_LIVE_REC_TIME = 1195,
};
enum StcPanelControl : int {
    IDC_STC_SLIDER_FIRST = 1151,  // slider i is 1151 + i, i = 0..9
    IDC_STC_BACK = 1166,
    IDC_STC_AUTO = 1167,
    IDC_STC_ANCHOR = 1224,  // value label of slider 0; the panel's width ends at its right edge
};
enum RightPanelControl : int {
    IDC_R_GAIN = 1013,
    IDC_R_CONTRAST = 1016,
    IDC_R_DEPTH = 1017,
    IDC_R_GAMMA = 1213,
    IDC_R_FREQ1 = 1221,
    IDC_R_FREQ2 = 1222,
    IDC_R_FREQ3 = 1223,
};
enum ObPanelControl : int {
    IDC_OB_BACK = 1006,
    IDC_OB_BPD = 1008,
    IDC_OB_FL = 1009,
    IDC_OB_CRL = 1010,
    IDC_OB_AC = 1036,
    IDC_OB_GS = 1049,
    IDC_OB_LMP = 1050,
    IDC_OB_BBT = 1051,
    IDC_OB_ANCHOR = 1180,     // the panel's width ends at its right edge
    IDC_OB_EFW_MODEL = 1181,  // the fetal-weight equation's name
    IDC_OB_GA_MODEL = 1182,   // the growth tables' model name
    IDC_OB_GAGE = 1188,
};

// User messages of the main dialog.
enum UserMessage : int {
    WM_PROBE_DATA = 0x401,
    WM_PROBE_STOP = 0x402,
    WM_APP_1 = 0x8001,
};

// Window timers; the 21 ms tick is a timer of its own (ITimerHost::StartTick).
enum TimerId : int { kTimerPlayback = 1, kTimerRestoreButton = 2, kTimerHeldButton = 3 };
inline constexpr int kTickPeriodMs = 21;
inline constexpr int kHeldButtonPeriodMs = 100;

// Power events (the frame turns logind's PrepareForSleep into these).
enum PowerEvent : int { PBT_APMSUSPEND = 4, PBT_APMRESUMESUSPEND = 7, PBT_APMRESUMEAUTOMATIC = 18 };

// Run state, display mode and tool.
enum RunState : int { kLive = 1, kFrozen = 2 };
enum DisplayMode : int { kDisplayB = 1, kDisplayBB = 2, kDisplayBM = 3 };
enum Tool : int {
    kToolNone = 0,
    kToolDistance = 1,
    kToolArea = 2,
    kToolEllipse = 3,
    kToolObgy = 4,
    kToolZoom = 5
};
enum StcMode : int { kStcManual = 0, kStcAuto = 1, kStcAbsolute = 2 };

// Button looks of the control kit: states and kinds.
enum ButtonState : int { kStateNormal = 5, kStateHighlighted = 6 };
enum ButtonKind : int { kKindNormal = 1, kKindRec = 13, kKindRecording = 14, kKindQuit = 15 };

// Pictures of the bitmap buttons (resources/icons/<id>.svg).
enum PictureId : int {
    kBmpReviewNext = 172,
    kBmpReviewPlay = 173,
    kBmpReviewPrev = 174,
    kBmpReviewStop = 177,
    kBmpDelete = 224,
    kBmpDeletePressed = 225,
    kBmpJpeg = 226,
    kBmpJpegPressed = 227,
    kBmpVideoDisabled = 228,
    kBmpStill = 233,
    kBmpStillPressed = 234,
    kBmpCine = 235,
    kBmpCinePressed = 236,
    kBmpDist = 237,
    kBmpDistPressed = 238,
    kBmpArea = 239,
    kBmpAreaPressed = 240,
    kBmpEllipse = 241,
    kBmpEllipsePressed = 242,
    kBmpObgy = 243,
    kBmpObgyPressed = 244,
    kBmpSettings = 245,
    kBmpVideo = 246,
    kBmpPrint = 247,
    kBmpDistDisabled = 248,
    kBmpAreaDisabled = 249,
    kBmpEllipseDisabled = 250,
    kBmpObgyDisabled = 251,
    kBmpStillDisabled = 252,
    kBmpCineDisabled = 253,
    kBmpCinePrev = 1002,
    kBmpCineNext = 1003,
};

// The pictures of a bitmap button: normal, pressed, focused, disabled; 0 for none.
struct ButtonFaces {
    int normal = 0;
    int pressed = 0;
    int focused = 0;
    int disabled = 0;
    friend bool operator==(const ButtonFaces&, const ButtonFaces&) = default;
};

// The dispatcher's commands (the MainCommand numbers) that have names here.
enum MainCommand : int {
    kCmdFreeze = 1,
    kCmdQuit = 2,
    kCmdDisplayB = 3,
    kCmdDisplayBB = 4,
    kCmdDisplayBM = 5,
    kCmdInvert = 6,
    kCmdDistance = 7,
    kCmdArea = 8,
    kCmdObgy = 9,
    kCmdStoreStill = 10,
    kCmdStoreCine = 11,
    kCmdPrintRecord = 12,
    kCmdZoom = 13,
    kCmdSelectExam = 14,
    kCmdViewer = 15,
    kCmdNewPatient = 16,
    kCmdApplyDepth = 23,
    kCmdGain = 24,
    kCmdContrast = 25,
    kCmdCinePrev = 37,
    kCmdCineNext = 38,
    kCmdBbLeft = 42,
    kCmdBbRight = 43,
    kCmdTick = 61,
    kCmdNewFrame = 62,
    kCmdMeasureSlot = 63,
    kCmdBodyMark = 81,
    kCmdEnter = 86,
    kCmdStcPanel = 87,
    kCmdStcKnot = 88,
    kCmdGammaStep = 89,
};
inline constexpr int kFirstCommand = 1;
inline constexpr int kLastCommand = 89;

// Scroll codes of the sliders (trackbar codes).
enum ScrollCode : int { SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_ENDSCROLL = 8 };

}  // namespace maindlg
