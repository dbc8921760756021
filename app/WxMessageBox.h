// The message-box seam shown as a wx dialog over the program's active window.
#pragma once

#include "platform/MessageBox.h"

long MessageDialogStyle(platform::MsgIcon icon, platform::MsgButtons buttons);
platform::MsgAnswer AnswerFromDialogResult(int result);

// Installs the wx handler (UI thread, after wxApp exists).
void InstallWxMessageBoxHandler();
