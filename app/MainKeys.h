// The main window's keys as the core knows them: wx key codes turned into the virtual-key
// numbers of the key routing (letters upper case, digits as ASCII), with Alt as a system key.
#pragma once

#include "app/core/VirtualKeys.h"

class wxKeyEvent;

// A key the routing does not name becomes vk::kNone's neighbour 0xFF, which it swallows.
int ToVirtualKey(int wxKeyCode);
KeyInput ToKeyInput(const wxKeyEvent& event);
