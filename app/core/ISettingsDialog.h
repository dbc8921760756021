// The settings dialog and the version box (the window menu's "Settings" and "Version Information").
#pragma once

class ISettingsDialog {
public:
    virtual ~ISettingsDialog() = default;
    virtual void ShowSettings() {}
    virtual void ShowAbout() {}
};
