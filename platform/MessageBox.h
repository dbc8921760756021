// The one way the program shows a message box. The windowed program installs a handler
// that shows a wx dialog; tests install one that records the text, caption and icon and
// gives the answer they choose. Call on the UI thread only: workers post instead. An empty
// caption is an application message box: the window carries the program's name.
#pragma once

#include <functional>
#include <string>

namespace platform {

enum class MsgIcon { None, Error, Exclamation, Information, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct MessageBoxRequest {
    std::string text;
    std::string caption;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
};

using MessageBoxHandler = std::function<MsgAnswer(const MessageBoxRequest&)>;

MsgAnswer ShowMessageBox(const std::string& text, const std::string& caption, MsgIcon icon = MsgIcon::None,
                         MsgButtons buttons = MsgButtons::Ok);

// Replaces the handler; an empty handler restores the default, which writes the message to
// standard error and answers as if the first button was pressed.
void SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace platform
