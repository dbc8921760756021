#include "app/MainKeys.h"

#include <wx/event.h>

namespace {
constexpr int kUnnamedKey = 0xFF;
}

int ToVirtualKey(int code) {
    if (code >= 'a' && code <= 'z')
        return code - 'a' + 'A';
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return code;
    if (code >= WXK_F1 && code <= WXK_F24)
        return vk::kF1 + (code - WXK_F1);
    switch (code) {
        case WXK_BACK:
            return vk::kBack;
        case WXK_TAB:
            return vk::kTab;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            return vk::kReturn;
        case WXK_SHIFT:
            return vk::kShift;
        case WXK_CONTROL:
            return vk::kControl;
        case WXK_ALT:
            return vk::kMenu;
        case WXK_ESCAPE:
            return vk::kEscape;
        case WXK_SPACE:
            return vk::kSpace;
        case WXK_LEFT:
        case WXK_NUMPAD_LEFT:
            return vk::kLeft;
        case WXK_UP:
        case WXK_NUMPAD_UP:
            return vk::kUp;
        case WXK_RIGHT:
        case WXK_NUMPAD_RIGHT:
            return vk::kRight;
        case WXK_DOWN:
        case WXK_NUMPAD_DOWN:
            return vk::kDown;
        default:
            return kUnnamedKey;
    }
}

KeyInput ToKeyInput(const wxKeyEvent& event) {
    KeyInput key;
    key.key = ToVirtualKey(event.GetKeyCode());
    key.alt = event.AltDown();
    return key;
}
