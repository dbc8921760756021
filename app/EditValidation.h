// The numeric edit's check of each change: digits only, no leading zeros, clamped to its
// range. Separate from the widget so every case can be tested without a display.
#pragma once

#include <string>

struct EditCheck {
    bool replace = false;  // the text must become `text`
    std::string text;      // the replacement
    bool balloon = false;  // show "Unacceptable Value"
    int lastAccepted = 0;  // the last accepted value after this change
};

// One change of the edit's text. Leading zeros are dropped and the rest is checked in the
// same pass, so the edit never re-validates its own replacement in a loop; numbers of any
// length are compared without overflow.
EditCheck CheckEditText(const std::string& text, int minimum, int maximum, int lastAccepted);
