#include "platform/MessageBox.h"

#include <cstdio>
#include <mutex>

namespace platform {

namespace {
std::mutex g_mutex;
MessageBoxHandler g_handler;

MsgAnswer DefaultAnswer(const MessageBoxRequest& r) {
    std::fprintf(stderr, "[%s] %s\n", r.caption.c_str(), r.text.c_str());
    switch (r.buttons) {
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel:
            return MsgAnswer::Yes;
        default:
            return MsgAnswer::Ok;
    }
}
}  // namespace

MsgAnswer ShowMessageBox(const std::string& text, const std::string& caption, MsgIcon icon, MsgButtons buttons) {
    MessageBoxRequest request{text, caption, icon, buttons};
    MessageBoxHandler handler;
    {
        std::lock_guard lock(g_mutex);
        handler = g_handler;
    }
    return handler ? handler(request) : DefaultAnswer(request);
}

void SetMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard lock(g_mutex);
    g_handler = std::move(handler);
}

}  // namespace platform
