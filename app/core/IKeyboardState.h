// The state of the modifier keys at this moment (developer mode at start-up, developer
// keys A and G).
#pragma once

struct ModifierKeys {
    bool readable = false;  // false: the state could not be read
    bool ctrl = false;
    bool shift = false;
};

class IKeyboardState {
public:
    virtual ~IKeyboardState() = default;
    virtual ModifierKeys Read() const = 0;
};
