#include "sim/SimFaultScript.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace usbdriver::sim {
namespace {

struct KindName {
    SimFaultKind kind;
    const char* name;
};

constexpr KindName kKinds[] = {
    {SimFaultKind::DropLine, "drop-line"},
    {SimFaultKind::DuplicateLine, "duplicate-line"},
    {SimFaultKind::BadSequence, "bad-sequence"},
    {SimFaultKind::BadMagic, "bad-magic"},
    {SimFaultKind::HeaderOnly, "header-only"},
    {SimFaultKind::DelayReply, "delay-reply"},
    {SimFaultKind::ReplyCode, "reply-code"},
    {SimFaultKind::ReplyStatus, "reply-status"},
    {SimFaultKind::NoReply, "no-reply"},
    {SimFaultKind::SettingsLost, "settings-lost"},
    {SimFaultKind::IdentityUnreadable, "identity-unreadable"},
    {SimFaultKind::Stall, "stall"},
    {SimFaultKind::FailRead, "fail-read"},
    {SimFaultKind::Unplug, "unplug"},
};

bool InRange(uint64_t first, uint64_t count, uint64_t n) {
    return first != 0 && n >= first && (count == 0 || n - first < count);
}

// Checks that an entry has the keys its kind needs.
const char* MissingKey(const SimFault& f) {
    switch (f.kind) {
        case SimFaultKind::DropLine:
        case SimFaultKind::DuplicateLine:
            if (f.frame == 0)
                return "frame";
            if (f.line < 0)
                return "line";
            return nullptr;
        case SimFaultKind::BadSequence:
        case SimFaultKind::BadMagic:
        case SimFaultKind::HeaderOnly:
        case SimFaultKind::Stall:
            return f.frame == 0 ? "frame" : nullptr;
        case SimFaultKind::DelayReply:
        case SimFaultKind::ReplyCode:
        case SimFaultKind::ReplyStatus:
        case SimFaultKind::NoReply:
            return f.hasCommand ? nullptr : "command";
        case SimFaultKind::SettingsLost:
            return f.frame == 0 && !f.hasCommand ? "frame or command" : nullptr;
        case SimFaultKind::IdentityUnreadable:
            return nullptr;
        case SimFaultKind::FailRead:
            return f.read == 0 ? "read" : nullptr;
        case SimFaultKind::Unplug:
            return f.frame == 0 && !f.hasCommand && f.read == 0 ? "frame, command or read" : nullptr;
    }
    return nullptr;
}

bool ParseEntry(const std::string& entry, SimFault& fault, std::string& error) {
    std::istringstream words(entry);
    std::string name;
    words >> name;
    bool known = false;
    for (const KindName& k : kKinds) {
        if (name == k.name) {
            fault.kind = k.kind;
            known = true;
        }
    }
    if (!known) {
        error = "unknown fault '" + name + "'";
        return false;
    }
    std::string pair;
    while (words >> pair) {
        const size_t eq = pair.find('=');
        uint64_t n = 0;
        if (eq == std::string::npos || !ParseNumber(pair.substr(eq + 1), n)) {
            error = "'" + pair + "' in '" + entry + "' is not key=number";
            return false;
        }
        const std::string key = pair.substr(0, eq);
        bool fits = true;
        if (key == "frame") {
            fault.frame = n;
        } else if (key == "line") {
            fits = n < 128;
            fault.line = static_cast<int>(n);
        } else if (key == "count") {
            fault.count = n;
        } else if (key == "command") {
            fits = n <= 0xFFFF;
            fault.command = static_cast<uint16_t>(n);
            fault.hasCommand = true;
        } else if (key == "occurrence") {
            fits = n >= 1;
            fault.occurrence = n;
        } else if (key == "pipe") {
            fits = n <= 0xFF;
            fault.pipe = static_cast<uint8_t>(n);
        } else if (key == "read") {
            fault.read = n;
        } else if (key == "code" || key == "status" || key == "error") {
            fits = n <= 0xFFFFFFFF;
            fault.value = static_cast<uint32_t>(n);
            fault.hasValue = true;
        } else {
            error = "unknown key '" + key + "' in '" + entry + "'";
            return false;
        }
        if (!fits) {
            error = "'" + pair + "' in '" + entry + "' is out of range";
            return false;
        }
    }
    if (const char* missing = MissingKey(fault)) {
        error = "'" + entry + "' needs " + missing;
        return false;
    }
    return true;
}

}  // namespace

// A leading zero is no octal prefix: "010" is ten, as a tester writing frame numbers means.
bool ParseNumber(const std::string& text, uint64_t& value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    const auto isDigit = [hex](char c) {
        return hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                   : std::isdigit(static_cast<unsigned char>(c)) != 0;
    };
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), isDigit))
        return false;
    errno = 0;
    value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    return errno == 0;
}

bool SimFaultScript::Parse(const std::string& text, SimFaultScript& script, std::string& error) {
    script.faults_.clear();
    std::string entry;
    auto flush = [&]() {
        const size_t first = entry.find_first_not_of(" \t\r");
        if (first != std::string::npos) {
            SimFault fault;
            if (!ParseEntry(entry.substr(first), fault, error))
                return false;
            script.faults_.push_back(fault);
        }
        entry.clear();
        return true;
    };
    bool comment = false;
    for (char c : text) {
        if (c == '\n')
            comment = false;
        if (c == ';' || c == '\n') {
            if (!flush())
                return false;
            continue;
        }
        if (c == '#')
            comment = true;
        if (!comment)
            entry += c;
    }
    return flush();
}

const SimFault* SimFaultScript::ForFrame(SimFaultKind kind, uint64_t frame, int line) const {
    for (const SimFault& f : faults_) {
        if (f.kind == kind && InRange(f.frame, f.count, frame) && f.line == line)
            return &f;
    }
    return nullptr;
}

const SimFault* SimFaultScript::ForCommand(SimFaultKind kind, uint16_t command, uint64_t occurrence) const {
    for (const SimFault& f : faults_) {
        if (f.kind == kind && f.hasCommand && f.command == command &&
            InRange(f.occurrence, f.count, occurrence)) {
            return &f;
        }
    }
    return nullptr;
}

const SimFault* SimFaultScript::ForRead(SimFaultKind kind, uint8_t pipe, uint64_t read) const {
    for (const SimFault& f : faults_) {
        if (f.kind == kind && f.pipe == pipe && InRange(f.read, f.count, read))
            return &f;
    }
    return nullptr;
}

bool SimFaultScript::Has(SimFaultKind kind) const {
    for (const SimFault& f : faults_) {
        if (f.kind == kind)
            return true;
    }
    return false;
}

}  // namespace usbdriver::sim
