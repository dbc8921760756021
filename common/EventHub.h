// The process-wide event hub: a map from an event kind to an ordered list of plain
// callbacks. A publisher calls every callback of the kind synchronously on its own thread.
// Side panels publish their button presses and slider moves here instead of calling the
// main window; raw frame buffers announce every change of state here.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

using EventCallback = void (*)(void* payload);

enum EventKind : int32_t {
    EventKindCommand = 0,      // payload: CommandEventArgs
    EventKindScroll = 1,       // payload: ScrollEventArgs
    EventKindSliderFocus = 2,  // payload: the slider that gained or lost the focus
    EventKindRawFrame = 3,     // payload: the CRawBuf whose state changed
};

// A side-panel button press. Lives on the publisher's stack: callbacks must not keep it.
struct CommandEventArgs {
    int32_t dialogId;   // 221 STC panel, 222 left live panel, 223 OB/GY panel, 229 right live panel
    int32_t controlId;  // the command id the panel publishes for the button
};

// A side-panel slider move. Lives on the publisher's stack: callbacks must not keep it.
struct ScrollEventArgs {
    int32_t dialogId;
    int32_t controlId;
    uint32_t scrollCode;
    uint32_t position;
};

class CEventHub {
public:
    static CEventHub& GetInstance();

    // Appends the callback to the kind's list; the same callback may stand there twice.
    void Subscribe(int32_t kind, EventCallback callback);
    // Removes the first entry equal to the callback; nothing when it is not there.
    void Unsubscribe(int32_t kind, EventCallback callback);
    // Calls the kind's callbacks in registration order. The list is taken as it stands when
    // the publication starts, so callbacks may subscribe or unsubscribe safely meanwhile.
    void Publish(int32_t kind, void* payload);

    CEventHub() = default;
    CEventHub(const CEventHub&) = delete;
    CEventHub& operator=(const CEventHub&) = delete;

private:
    using List = std::vector<EventCallback>;
    // Lists are replaced, never changed in place, so a publication holds its list without
    // copying it (raw frames are published several times per frame).
    std::mutex mutex_;
    std::unordered_map<int32_t, std::shared_ptr<const List>> lists_;
};
