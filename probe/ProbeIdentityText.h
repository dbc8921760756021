// The probe's identity as the program shows and stores it: "%08X-%08X-%08X" of hardware id,
// version B and version A, and the line "H/W: " with it for the About box and the
// unsupported-probe message.
#pragma once

#include <cstdint>
#include <string>

// With all three 0 the words are read from the probe driver (g_pProbe) when there is one.
// Empty when the hardware id is 0, or any word is 0 or unreadable (0xFFFFFFFF).
std::string FormatHardwareId(uint32_t hardwareId, uint32_t versionB, uint32_t versionA);
// "H/W: " and the connected probe's identity, or "H/W: " and eight blanks and a hyphen.
std::string GetHardwareIdLine();
