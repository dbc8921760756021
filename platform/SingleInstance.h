// One running viewer per user. The first start holds an exclusive lock on a file in the
// user's runtime folder and serves a Unix socket beside it; a later start finds the lock
// taken, asks the holder over the socket to "raise" its window, and ends. The holder accepts
// that one word, only from its own user, and hands it to a callback on the thread that runs
// the default GLib main context (the UI thread, also inside modal loops).
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace platform {

enum class InstanceRole {
    First,   // this process holds the lock and serves the socket
    Second,  // another process holds the lock
    NoLock,  // no lock could be taken or tested (the reason is in ErrorText)
};

class SingleInstance {
public:
    // `folder` holds the lock and the socket; empty chooses DefaultFolder at Acquire.
    explicit SingleInstance(std::string folder = {});
    ~SingleInstance();  // stops serving and lets the lock go
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the lock. As First, a stale socket file is replaced and the socket is served on the
    // default main context of the calling thread.
    InstanceRole Acquire();

    // Called on the UI thread for each "raise" the holder accepts.
    void SetRaiseHandler(std::function<void()> handler);

    // As Second: sends "raise" to the holder, retrying while its socket is not there yet, for
    // at most `timeoutMs`. True when the word was delivered.
    bool SendRaise(int timeoutMs = 2000);

    const std::string& Folder() const { return folder_; }
    std::string LockPath() const;
    std::string SocketPath() const;
    const std::string& ErrorText() const { return error_; }

    // $XDG_RUNTIME_DIR when it names a folder; otherwise PrivateTempFolder. When the lock
    // cannot be made in $XDG_RUNTIME_DIR, Acquire goes on in PrivateTempFolder.
    static std::string DefaultFolder(std::string* error = nullptr);
    // "TORVIKVIEWER716C-<uid>" in the temporary folder ($TMPDIR or /tmp), created 0700 and used
    // only while it is a real folder (not a link) of this user with mode 0700. Empty, with the
    // reason, when unsafe.
    static std::string PrivateTempFolder(std::string* error = nullptr);

private:
    struct Server;

    std::string folder_;
    std::string error_;
    int lockFd_ = -1;
    std::unique_ptr<Server> server_;
    std::shared_ptr<std::function<void()>> handler_;
};

// The start-up road: First goes on (true; the raise handler is served); Second sends "raise"
// and NoLock writes one line to standard error, and both return false: the process ends with 0.
bool ClaimSingleInstance(SingleInstance& instance);

}  // namespace platform
