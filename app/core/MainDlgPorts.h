// Everything the core reaches the world through. The frame fills in the window side before
// constructing CKALVEXDlg (every window port but the OB/GY panel and the loupe is required);
// a null OB/GY panel, loupe or later-subsystem port gets a default that does nothing.
#pragma once

#include "app/core/IBodyMarkPicker.h"
#include "app/core/IFingerLoupe.h"
#include "app/core/IKeyboardState.h"
#include "app/core/ILivePanel.h"
#include "app/core/IMainControls.h"
#include "app/core/IMainViews.h"
#include "app/core/IMainWindow.h"
#include "app/core/IMeasureWindows.h"
#include "app/core/IMeasurement.h"
#include "app/core/IObPanel.h"
#include "app/core/IObStills.h"
#include "app/core/IObgy.h"
#include "app/core/IPatientDialogs.h"
#include "app/core/IPrinting.h"
#include "app/core/IRecorder.h"
#include "app/core/IReview.h"
#include "app/core/IRightPanel.h"
#include "app/core/ISettingsDialog.h"
#include "app/core/IStcPanel.h"
#include "app/core/IStores.h"
#include "app/core/IThumbnailList.h"
#include "app/core/ITimerHost.h"

struct MainDlgPorts {
    // The window side (the frame).
    IMainWindow* window = nullptr;
    IMainControls* controls = nullptr;
    IMainViews* views = nullptr;
    ILivePanel* livePanel = nullptr;
    IStcPanel* stcPanel = nullptr;
    IRightPanel* rightPanel = nullptr;
    IObPanel* obPanel = nullptr;
    ITimerHost* timers = nullptr;
    IKeyboardState* keyboard = nullptr;
    IFingerLoupe* loupe = nullptr;

    // Later subsystems.
    IStores* stores = nullptr;
    IThumbnailList* thumbnails = nullptr;
    IReview* review = nullptr;
    IMeasurement* measurement = nullptr;
    IObgy* obgy = nullptr;
    IRecorder* recorder = nullptr;
    IPrinting* printing = nullptr;
    IBodyMarkPicker* picker = nullptr;
    IPatientDialogs* patients = nullptr;
    ISettingsDialog* settings = nullptr;
    // Measuring: the cursor, date picker and results table; the stills OB/GY measures on.
    // When measurement or obgy is null the dialog's own measuring (CMeasureTools) serves.
    IMeasureWindows* measureWindows = nullptr;
    IObStills* obStills = nullptr;
};
