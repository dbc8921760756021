// Makes the next thread start of the test process fail as it does when the system has no
// resources left (pthread_create gives EAGAIN, std::thread throws).
#pragma once

namespace testsupport {
void FailNextThreadStart();
}
