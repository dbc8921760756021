// Kills at random moments of work done over and over in a child process, for the tests of
// what a killed viewer leaves on disk.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <random>

namespace archivetest {

// Runs `step` over and over in a child process and kills it (SIGKILL) up to `maxDelayUs`
// microseconds after `stepsFirst` steps have finished, however long those take; the delay is
// drawn from `rng`. True when the child ran those steps and died of the kill.
inline bool KillDuringSteps(const std::function<void()>& step, int stepsFirst, int maxDelayUs,
                            std::mt19937& rng) {
    int done[2];
    if (::pipe2(done, O_CLOEXEC) != 0)
        return false;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(done[0]);
        for (;;) {
            step();
            const char one = 1;
            if (::write(done[1], &one, 1) != 1)
                ::_exit(1);
        }
    }
    ::close(done[1]);
    int finished = 0;
    while (pid > 0 && finished < stepsFirst) {
        pollfd wait{done[0], POLLIN, 0};
        char one = 0;
        if (::poll(&wait, 1, 120'000) != 1 || ::read(done[0], &one, 1) != 1)
            break;  // two minutes without a step, or the child is gone
        ++finished;
    }
    std::uniform_int_distribution<int> delayUs(0, maxDelayUs);
    ::usleep(static_cast<useconds_t>(delayUs(rng)));
    int status = 0;
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    ::close(done[0]);
    return pid > 0 && finished == stepsFirst && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

}  // namespace archivetest
