// The UI-thread seam over the wx event queue: work posted from any thread runs on the UI
// thread in posting order; Pump runs waiting input, paints, timers and posted work without
// blocking, also when it is called from work that another Pump is running.
#pragma once

#include "platform/UiThread.h"

class WxUiDispatcher : public platform::IUiDispatcher {
public:
    void Post(std::function<void()> work) override;
    void Pump() override;
};

// Installs one WxUiDispatcher for the process (after wxApp exists); Uninstall before it goes.
void InstallWxUiDispatcher();
void UninstallWxUiDispatcher();
