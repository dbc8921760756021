// Keys as the main window's key routing knows them: the Windows virtual-key numbers. The
// frame turns its toolkit's key codes into these (letters as upper-case ASCII, digits as
// ASCII) and says whether Alt was held (a system key).
#pragma once

namespace vk {

enum Key : int {
    kNone = 0,
    kBack = 0x08,
    kTab = 0x09,
    kReturn = 0x0D,
    kShift = 0x10,
    kControl = 0x11,
    kMenu = 0x12,  // Alt
    kEscape = 0x1B,
    kSpace = 0x20,
    kLeft = 0x25,
    kUp = 0x26,
    kRight = 0x27,
    kDown = 0x28,
    k9 = '9',
    kA = 'A',
    kB = 'B',
    kC = 'C',
    kD = 'D',
    kG = 'G',
    kH = 'H',
    kI = 'I',
    kM = 'M',
    kO = 'O',
    kP = 'P',
    kR = 'R',
    kS = 'S',
    kW = 'W',
    kX = 'X',
    kZ = 'Z',
    kF1 = 0x70,
    kF2 = 0x71,
    kF3 = 0x72,
    kF4 = 0x73,
    kF5 = 0x74,
    kF6 = 0x75,
    kF7 = 0x76,
    kF8 = 0x77,
    kF9 = 0x78,
    kF10 = 0x79,
    kF11 = 0x7A,
};

}  // namespace vk

// One key-down as the frame hands it to the core.
struct KeyInput {
    int key = vk::kNone;  // vk::Key; letters upper case
    bool alt = false;     // a system key-down (Alt held)
};
