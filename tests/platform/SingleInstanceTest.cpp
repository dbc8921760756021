// One instance per user: the lock, the raise socket, the folder they live in, and two real
// processes started the way the program starts.
#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "../support/TestSupport.h"

extern char** environ;

using platform::InstanceRole;
using platform::SingleInstance;

namespace {

// Runs the default main context until the condition holds or the time is up.
template <typename Condition>
bool IterateUntil(Condition done, int timeoutMs = static_cast<int>(testsupport::kPatience.count())) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done() && std::chrono::steady_clock::now() < deadline)
        g_main_context_iteration(nullptr, FALSE), usleep(1000);
    return done();
}

// Sends raw bytes to the socket, as any local program could.
void SendRaw(const std::string& socketPath, const std::string& bytes) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0)
        << std::strerror(errno);
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

// The helper program in a child process, its standard output and error read through pipes.
class Helper {
public:
    explicit Helper(const std::vector<std::string>& args) {
        int out[2], err[2];
        EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
        EXPECT_EQ(::pipe2(err, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        std::vector<std::string> all{TORVIK_SINGLE_INSTANCE_HELPER};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~Helper() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(out_);
        ::close(err_);
    }

    // The next line of standard output, or nothing within the time.
    std::optional<std::string> ReadLine(int timeoutMs = static_cast<int>(testsupport::kPatience.count())) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            if (const size_t nl = buffer_.find('\n'); nl != std::string::npos) {
                std::string line = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{out_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return std::nullopt;
            char chunk[256];
            const ssize_t n = ::read(out_, chunk, sizeof chunk);
            if (n <= 0)
                return std::nullopt;
            buffer_.append(chunk, static_cast<size_t>(n));
        }
    }

    // Waits for the process to end: its exit code, or -1 when it is still running or was killed.
    int Wait(int timeoutMs = static_cast<int>(testsupport::kPatience.count())) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline)
                return -1;
            usleep(5000);
        }
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    void Kill() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    std::string Stderr() {
        std::string text;
        char chunk[256];
        ssize_t n;
        while ((n = ::read(err_, chunk, sizeof chunk)) > 0)
            text.append(chunk, static_cast<size_t>(n));
        return text;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
    std::string buffer_;
};

}  // namespace

TEST(SingleInstanceTest, ASecondLockInTheSameProcessFailsAndItsRaiseReachesTheHandler) {
    testsupport::TempDir dir;
    SingleInstance first(dir.path());
    int raised = 0;
    first.SetRaiseHandler([&raised] { ++raised; });
    ASSERT_EQ(first.Acquire(), InstanceRole::First) << first.ErrorText();

    SingleInstance second(dir.path());
    EXPECT_EQ(second.Acquire(), InstanceRole::Second);
    EXPECT_TRUE(second.SendRaise());
    EXPECT_TRUE(IterateUntil([&raised] { return raised == 1; }));

    struct stat st {};
    ASSERT_EQ(::stat(first.SocketPath().c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(SingleInstanceTest, OtherWordsAreIgnored) {
    testsupport::TempDir dir;
    SingleInstance first(dir.path());
    int raised = 0;
    first.SetRaiseHandler([&raised] { ++raised; });
    ASSERT_EQ(first.Acquire(), InstanceRole::First);

    for (const std::string& bytes : {std::string("hello\n"), std::string("raise now\n"),
                                     std::string("RAISE\n"), std::string(100, 'r'), std::string("")}) {
        SendRaw(first.SocketPath(), bytes);
    }
    SendRaw(first.SocketPath(), "raise");  // without a line end, closed: still the word
    EXPECT_TRUE(IterateUntil([&raised] { return raised >= 1; }));
    IterateUntil([] { return false; }, 200);  // let the rest be read
    EXPECT_EQ(raised, 1);
}

TEST(SingleInstanceTest, AnotherUsersRaiseIsRefused) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can speak as another user";
    testsupport::TempDir dir;
    SingleInstance first(dir.path());
    int raised = 0;
    first.SetRaiseHandler([&raised] { ++raised; });
    ASSERT_EQ(first.Acquire(), InstanceRole::First);
    // Open the way that the private folder and socket modes normally close, to reach the
    // credentials check itself.
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(first.SocketPath().c_str(), 0666), 0);

    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, first.SocketPath().c_str(), sizeof address.sun_path - 1);
    const pid_t child = ::fork();
    if (child == 0) {  // only system calls from here on
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            ::_exit(3);
        const bool sent = ::write(fd, "raise\n", 6) == 6;
        ::close(fd);
        ::_exit(sent ? 0 : 4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    IterateUntil([] { return false; }, 300);
    EXPECT_EQ(raised, 0);
    SendRaw(first.SocketPath(), "raise\n");  // the own user still may
    EXPECT_TRUE(IterateUntil([&raised] { return raised == 1; }));
}

TEST(SingleInstanceTest, AStaleSocketIsReplaced) {
    testsupport::TempDir dir;
    SingleInstance probe(dir.path());
    // A socket file left by a holder that was killed: bound, never removed.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, probe.SocketPath().c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);

    SingleInstance first(dir.path());
    int raised = 0;
    first.SetRaiseHandler([&raised] { ++raised; });
    ASSERT_EQ(first.Acquire(), InstanceRole::First);
    EXPECT_TRUE(first.ErrorText().empty()) << first.ErrorText();
    SingleInstance second(dir.path());
    ASSERT_EQ(second.Acquire(), InstanceRole::Second);
    EXPECT_TRUE(second.SendRaise());
    EXPECT_TRUE(IterateUntil([&raised] { return raised == 1; }));
}

TEST(SingleInstanceTest, ALaterStartGivesUpAfterItsTimeWhenTheHolderServesNoSocket) {
    testsupport::TempDir dir;
    const int fd = ::open((dir / "TORVIKVIEWER716C_MUTEX.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);  // a holder still starting
    SingleInstance second(dir.path());
    ASSERT_EQ(second.Acquire(), InstanceRole::Second);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(second.SendRaise(300));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));  // not for ever
    ::close(fd);
}

TEST(SingleInstanceTest, AHolderKilledBySigkillFreesTheLock) {
    testsupport::TempDir dir;
    Helper holder({dir.path()});
    ASSERT_EQ(holder.ReadLine(), "ready");
    {
        SingleInstance second(dir.path());
        EXPECT_EQ(second.Acquire(), InstanceRole::Second);
    }
    holder.Kill();
    SingleInstance next(dir.path());
    int raised = 0;
    next.SetRaiseHandler([&raised] { ++raised; });
    ASSERT_EQ(next.Acquire(), InstanceRole::First);
    SingleInstance later(dir.path());
    ASSERT_EQ(later.Acquire(), InstanceRole::Second);
    EXPECT_TRUE(later.SendRaise());  // the killed holder's socket file was replaced
    EXPECT_TRUE(IterateUntil([&raised] { return raised == 1; }));
}

TEST(SingleInstanceTest, ASecondProcessRaisesTheFirstAndEndsWithZero) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv runtime("XDG_RUNTIME_DIR", dir.path());
    Helper first({});
    ASSERT_EQ(first.ReadLine(), "ready");
    Helper second({});
    EXPECT_EQ(second.Wait(), 0);
    EXPECT_EQ(second.ReadLine(100), std::nullopt);  // it never became the holder
    EXPECT_EQ(first.ReadLine(), "raised");
}

TEST(SingleInstanceTest, TheFallbackFolderIsUsedOnlyWhenItIsPrivate) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    testsupport::ScopedEnv tmp("TMPDIR", dir.path());
    const std::string folder = dir / ("TORVIKVIEWER716C-" + std::to_string(::getuid()));

    std::string error;
    EXPECT_EQ(SingleInstance::DefaultFolder(&error), folder) << error;  // created private
    struct stat st {};
    ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);

    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    EXPECT_EQ(SingleInstance::DefaultFolder(&error), "");
    EXPECT_NE(error.find(folder), std::string::npos);
    SingleInstance refused;
    EXPECT_EQ(refused.Acquire(), InstanceRole::NoLock);

    ASSERT_EQ(::rmdir(folder.c_str()), 0);
    ASSERT_EQ(::mkdir((dir / "elsewhere").c_str(), 0700), 0);
    ASSERT_EQ(::symlink((dir / "elsewhere").c_str(), folder.c_str()), 0);
    EXPECT_EQ(SingleInstance::DefaultFolder(&error), "");
    ASSERT_EQ(::unlink(folder.c_str()), 0);

    if (::geteuid() == 0) {  // only root can give the folder to another user
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        EXPECT_EQ(SingleInstance::DefaultFolder(&error), "");
    }
}

TEST(SingleInstanceTest, ARuntimeFolderWhereNothingCanBeMadeGivesWayToThePrivateTemporaryFolder) {
    testsupport::TempDir dir;
    // Root may create files anywhere but in a pseudo file system.
    std::string closed = "/proc";
    if (::geteuid() != 0) {
        closed = dir / "closed";
        ASSERT_EQ(::mkdir(closed.c_str(), 0500), 0);
    }
    ASSERT_EQ(::mkdir((dir / "tmp").c_str(), 0700), 0);
    testsupport::ScopedEnv runtime("XDG_RUNTIME_DIR", closed);
    testsupport::ScopedEnv tmp("TMPDIR", dir / "tmp");
    const std::string fallback = dir / ("tmp/TORVIKVIEWER716C-" + std::to_string(::getuid()));

    Helper first({});
    ASSERT_EQ(first.ReadLine(), "ready") << first.Stderr();
    struct stat st {};
    EXPECT_EQ(::stat((fallback + "/TORVIKVIEWER716C_MUTEX.lock").c_str(), &st), 0);
    Helper second({});
    EXPECT_EQ(second.Wait(), 0);
    EXPECT_EQ(second.ReadLine(100), std::nullopt);
    EXPECT_EQ(second.Stderr(), "");
    EXPECT_EQ(first.ReadLine(), "raised");
}

TEST(SingleInstanceTest, WithoutALockTheProgramSaysSoOnceAndEnds) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    testsupport::ScopedEnv tmp("TMPDIR", dir.path());
    ASSERT_EQ(::mkdir((dir / ("TORVIKVIEWER716C-" + std::to_string(::getuid()))).c_str(), 0777), 0);
    ASSERT_EQ(::chmod((dir / ("TORVIKVIEWER716C-" + std::to_string(::getuid()))).c_str(), 0777), 0);
    Helper start({});
    EXPECT_EQ(start.Wait(), 0);
    const std::string err = start.Stderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("TORVIKVIEWER716C-"), std::string::npos) << err;
}
