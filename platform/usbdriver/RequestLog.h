// A readable record of the requests that reach the driver seam, for tests that compare what
// the bridge library asked of the driver with what it should have asked. Off unless started.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace usbdriver {

void StartRequestLog();
// One recorded request and when it reached the seam.
struct LoggedRequest {
    std::chrono::steady_clock::time_point at;
    std::string line;
};

// Returns the requests recorded since the start (or the last take) and keeps recording.
std::vector<std::string> TakeRequestLog();
// The same with the time of each request, for tests of the waits between requests.
std::vector<LoggedRequest> TakeTimedRequestLog();
void StopRequestLog();

// Adds a line when the log runs (called by the seam).
void RecordRequest(const std::string& line);
bool RequestLogActive();

// "SetPipeTimeout 0x82 100ms", "ReadPipe 0x83 5120", "OpenCheck": the request's name and the
// values that tell one such request from another.
std::string DescribeRequest(uint32_t code, const void* in, uint32_t inSize, uint32_t outSize);

// The name of a library request number ("ReadPipe"), or "Request<n>".
std::string RequestName(uint32_t request);

}  // namespace usbdriver
