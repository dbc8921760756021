// The body-mark picker (command 81).
#pragma once

class IBodyMarkPicker {
public:
    virtual ~IBodyMarkPicker() = default;
    virtual void OpenSaveDialog() {}
};
