// The progress window's Cancel button: hidden in the PC layout (PCMODE 1, the default),
// where Esc cancels; otherwise captioned "Cancel" (string 210).
#pragma once

#include <string>

inline constexpr int kStrProgressCancel = 210;

bool ProgressShowsCancelButton();
std::string ProgressCancelCaption();
