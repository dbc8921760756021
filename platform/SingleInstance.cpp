#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <gio/gunixsocketaddress.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace platform {
namespace {

constexpr const char* kBaseName = "TORVIKVIEWER716C_MUTEX";
constexpr const char* kFallbackPrefix = "TORVIKVIEWER716C-";
constexpr const char* kRaiseWord = "raise";
constexpr size_t kMaxMessage = 16;  // longer than any word we accept
constexpr int kRetryMs = 50;

using Handler = std::shared_ptr<std::function<void()>>;

std::string ErrnoText(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

// One accepted connection, read until its line ends, it closes, or it says too much.
struct ReadOp {
    GSocketConnection* connection = nullptr;
    Handler handler;
    char buffer[kMaxMessage] = {};
    size_t length = 0;
};

void Finish(ReadOp* op) {
    std::string word(op->buffer, op->length);
    if (!word.empty() && word.back() == '\n')
        word.pop_back();
    if (word == kRaiseWord && op->handler && *op->handler)
        (*op->handler)();
    g_io_stream_close(G_IO_STREAM(op->connection), nullptr, nullptr);
    g_object_unref(op->connection);
    delete op;
}

void ReadMore(ReadOp* op);

void OnRead(GObject* source, GAsyncResult* result, gpointer data) {
    auto* op = static_cast<ReadOp*>(data);
    const gssize n = g_input_stream_read_finish(G_INPUT_STREAM(source), result, nullptr);
    if (n <= 0) {
        if (n < 0)
            op->length = 0;  // a broken connection says nothing
        Finish(op);
        return;
    }
    op->length += static_cast<size_t>(n);
    if (std::memchr(op->buffer, '\n', op->length) || op->length >= sizeof op->buffer) {
        if (op->length >= sizeof op->buffer)
            op->length = 0;  // not a word we know
        Finish(op);
        return;
    }
    ReadMore(op);
}

void ReadMore(ReadOp* op) {
    GInputStream* in = g_io_stream_get_input_stream(G_IO_STREAM(op->connection));
    g_input_stream_read_async(in, op->buffer + op->length, sizeof op->buffer - op->length, G_PRIORITY_DEFAULT,
                              nullptr, OnRead, op);
}

gboolean OnIncoming(GSocketService*, GSocketConnection* connection, GObject*, gpointer data) {
    // Only our own user may ask: the socket's folder is private, and the peer's credentials
    // are checked as well.
    GSocket* socket = g_socket_connection_get_socket(connection);
    GCredentials* credentials = g_socket_get_credentials(socket, nullptr);
    const bool own = credentials && g_credentials_get_unix_user(credentials, nullptr) == ::getuid();
    if (credentials)
        g_object_unref(credentials);
    if (!own)
        return TRUE;  // dropped: the connection closes with its last reference
    auto* op = new ReadOp;
    op->connection = G_SOCKET_CONNECTION(g_object_ref(connection));
    op->handler = *static_cast<Handler*>(data);
    ReadMore(op);
    return TRUE;
}

}  // namespace

struct SingleInstance::Server {
    GSocketService* service = nullptr;
    Handler* handlerRef = nullptr;  // the signal's user data
    std::string socketPath;

    ~Server() {
        if (service) {
            g_socket_service_stop(service);
            g_socket_listener_close(G_SOCKET_LISTENER(service));
            g_signal_handlers_disconnect_by_data(service, handlerRef);
            g_object_unref(service);
        }
        delete handlerRef;
        if (!socketPath.empty())
            ::unlink(socketPath.c_str());
    }
};

SingleInstance::SingleInstance(std::string folder)
    : folder_(std::move(folder)), handler_(std::make_shared<std::function<void()>>()) {}

SingleInstance::~SingleInstance() {
    *handler_ = nullptr;  // reads still pending find no handler
    server_.reset();      // the socket goes while the lock is still held
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

std::string SingleInstance::LockPath() const {
    return folder_ + "/" + kBaseName + ".lock";
}
std::string SingleInstance::SocketPath() const {
    return folder_ + "/" + kBaseName + ".sock";
}

void SingleInstance::SetRaiseHandler(std::function<void()> handler) {
    *handler_ = std::move(handler);
}

std::string SingleInstance::DefaultFolder(std::string* error) {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/') {
        struct stat st {};
        if (::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode))
            return runtime;
    }
    return PrivateTempFolder(error);
}

std::string SingleInstance::PrivateTempFolder(std::string* error) {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = (tmp && tmp[0] == '/') ? tmp : "/tmp";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    folder += std::string(folder == "/" ? "" : "/") + kFallbackPrefix + std::to_string(::getuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        if (error)
            *error = ErrnoText("cannot create " + folder, errno);
        return {};
    }
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        if (error)
            *error = ErrnoText("cannot examine " + folder, errno);
        return {};
    }
    // Another user could otherwise have made the folder first and hold our lock or socket.
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 07777) != 0700) {
        if (error)
            *error = folder + " is not a private folder of this user (mode 0700, no link)";
        return {};
    }
    return folder;
}

InstanceRole SingleInstance::Acquire() {
    if (lockFd_ >= 0)
        return InstanceRole::First;
    const bool chosenHere = folder_.empty();
    if (chosenHere) {
        folder_ = DefaultFolder(&error_);
        if (folder_.empty())
            return InstanceRole::NoLock;
    }
    const auto openLock = [this](int& fd) {
        fd = ::open(LockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            const int err = errno;
            error_ = ErrnoText("cannot open " + LockPath(), err);
        }
        return fd >= 0;
    };
    int fd = -1;
    if (!openLock(fd) && chosenHere) {
        // A runtime folder where nothing can be made: every start comes here alike, so the
        // private temporary folder serves them all in its place.
        std::string why;
        const std::string fallback = PrivateTempFolder(&why);
        if (fallback.empty()) {
            error_ += "; " + why;
            return InstanceRole::NoLock;
        }
        if (fallback != folder_) {
            folder_ = fallback;
            openLock(fd);
        }
    }
    if (fd < 0)
        return InstanceRole::NoLock;
    const std::string lockPath = LockPath();
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            return InstanceRole::Second;
        error_ = ErrnoText("cannot lock " + lockPath, err);
        return InstanceRole::NoLock;
    }
    lockFd_ = fd;

    // Whatever socket file is there belongs to a holder that has gone: we hold the lock now.
    const std::string socketPath = SocketPath();
    ::unlink(socketPath.c_str());
    if (socketPath.size() >= sizeof(sockaddr_un::sun_path)) {
        error_ = "socket path too long: " + socketPath;
        return InstanceRole::First;  // the only instance still, though nobody can ask it to raise
    }
    auto server = std::make_unique<Server>();
    server->service = g_socket_service_new();
    server->handlerRef = new Handler(handler_);
    GSocketAddress* address = g_unix_socket_address_new(socketPath.c_str());
    GError* gerror = nullptr;
    const gboolean added =
        g_socket_listener_add_address(G_SOCKET_LISTENER(server->service), address, G_SOCKET_TYPE_STREAM,
                                      G_SOCKET_PROTOCOL_DEFAULT, nullptr, nullptr, &gerror);
    g_object_unref(address);
    if (!added) {
        error_ =
            std::string("cannot serve ") + socketPath + ": " + (gerror ? gerror->message : "unknown error");
        if (gerror)
            g_error_free(gerror);
        return InstanceRole::First;
    }
    ::chmod(socketPath.c_str(), 0600);
    server->socketPath = socketPath;
    g_signal_connect(server->service, "incoming", G_CALLBACK(OnIncoming), server->handlerRef);
    g_socket_service_start(server->service);
    server_ = std::move(server);
    return InstanceRole::First;
}

bool SingleInstance::SendRaise(int timeoutMs) {
    if (folder_.empty())
        return false;
    const std::string socketPath = SocketPath();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    GSocketClient* client = g_socket_client_new();
    bool sent = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        g_socket_client_set_timeout(client, static_cast<guint>((left.count() + 999) / 1000));
        GSocketAddress* address = g_unix_socket_address_new(socketPath.c_str());
        GSocketConnection* connection =
            g_socket_client_connect(client, G_SOCKET_CONNECTABLE(address), nullptr, nullptr);
        g_object_unref(address);
        if (connection) {
            GOutputStream* out = g_io_stream_get_output_stream(G_IO_STREAM(connection));
            const std::string line = std::string(kRaiseWord) + "\n";
            sent = g_output_stream_write_all(out, line.data(), line.size(), nullptr, nullptr, nullptr);
            g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
            g_object_unref(connection);
            break;
        }
        // The holder may still be starting: its socket appears a moment after its lock.
        std::this_thread::sleep_for(std::chrono::milliseconds(kRetryMs));
    }
    g_object_unref(client);
    return sent;
}

bool ClaimSingleInstance(SingleInstance& instance) {
    switch (instance.Acquire()) {
        case InstanceRole::First:
            return true;
        case InstanceRole::Second:
            instance.SendRaise();
            return false;
        case InstanceRole::NoLock:
            std::fprintf(stderr, "%s: cannot check for a running instance: %s\n",
                         program_invocation_short_name, instance.ErrorText().c_str());
            return false;
    }
    return false;
}

}  // namespace platform
