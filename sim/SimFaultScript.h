// The simulator's fault script: what should go wrong, and when. A script is a list of
// entries separated by ';' or new lines, each a fault name followed by key=value pairs, e.g.
//   drop-line frame=3 line=57; delay-reply command=0x200A; unplug frame=200
// Frames, command occurrences and reads are counted from 1 since the simulator started;
// line numbers are the packets' own (0..127). Numbers are decimal or 0x hexadecimal.
// docs/simulator.md lists every fault with its keys.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace usbdriver::sim {

enum class SimFaultKind {
    DropLine,       // frame, line: the line packet is not sent
    DuplicateLine,  // frame, line: the line packet is sent twice
    BadSequence,    // frame [, line]: the packet (the header without a line) has the wrong sequence number
    BadMagic,       // frame [, line]: the packet (the header without a line) has a wrong magic
    HeaderOnly,     // frame [, count]: header-only frames (flags 0, no lines)
    DelayReply,     // command [, occurrence, count]: the reply comes after the host's read timed out
    ReplyCode,      // command [, occurrence, count, code]: the reply echoes a wrong code
    ReplyStatus,    // command [, occurrence, count, status]: the reply has a wrong status
    NoReply,        // command [, occurrence, count]: no reply at all
    SettingsLost,   // frame or command [, occurrence]: the probe forgets its registers
    IdentityUnreadable,  // the identity commands get no reply
    Stall,               // frame: the stream stops; reads on 0x83 hang until aborted or reset
    FailRead,            // read [, pipe, count, error]: the n-th read on the pipe fails
    Unplug,              // frame, command [, occurrence] or read [, pipe]: the device goes away
};

struct SimFault {
    SimFaultKind kind = SimFaultKind::DropLine;
    uint64_t frame = 0;    // first frame (1-based), 0 when not triggered by frames
    int line = -1;         // line number, -1 for the header packet
    uint64_t count = 1;    // frames, occurrences or reads affected; 0 = all from then on
    uint16_t command = 0;  // command code, with hasCommand
    bool hasCommand = false;
    uint64_t occurrence = 1;  // the n-th time the command arrives
    uint8_t pipe = 0x83;
    uint64_t read = 0;   // the n-th read on the pipe (1-based), 0 when not triggered by reads
    uint32_t value = 0;  // code, status or system error, with hasValue
    bool hasValue = false;
};

// A number as the script and the environment write them: decimal, or hexadecimal after 0x.
bool ParseNumber(const std::string& text, uint64_t& value);

class SimFaultScript {
public:
    // Parses a script; false with a message naming the bad entry.
    static bool Parse(const std::string& text, SimFaultScript& script, std::string& error);

    void Add(const SimFault& fault) { faults_.push_back(fault); }
    bool Empty() const { return faults_.empty(); }
    const std::vector<SimFault>& Faults() const { return faults_; }

    // The first fault of a kind triggered by this frame (and line, where the kind has lines).
    const SimFault* ForFrame(SimFaultKind kind, uint64_t frame, int line = -1) const;
    // The first fault of a kind for this occurrence of a command.
    const SimFault* ForCommand(SimFaultKind kind, uint16_t command, uint64_t occurrence) const;
    // The first fault of a kind for the n-th read on a pipe.
    const SimFault* ForRead(SimFaultKind kind, uint8_t pipe, uint64_t read) const;
    bool Has(SimFaultKind kind) const;

private:
    std::vector<SimFault> faults_;
};

}  // namespace usbdriver::sim
