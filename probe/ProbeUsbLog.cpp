// The USB log of a streaming run (setting USB_LOG = 1): every frame handed to the driver, as
// raw bytes in one file and as a time-stamped hex dump in the other, in the folder "../Log".
#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cstdio>

#include "common/AppFolders.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/StringUtil.h"
#include "probe/ProbeData.h"
#include "probe/ProbeProtocol.h"
#include "probe/ProbeStrings.h"
#include "resources/StringTable.h"

namespace {

constexpr const char* kLogFolder = "../Log/";
constexpr size_t kBytesPerDumpLine = 16;

std::string LocalStamp() {
    const platform::SystemTime t = platform::GetLocalTime();
    return platform::Format("%04d%02d%02d%02d%02d%02d.%03d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                            t.wSecond, t.wMilliseconds);
}

// The log holds the probe's images: readable by the user only.
FILE* OpenPrivate(const std::string& path, const char* mode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return nullptr;
    FILE* file = ::fdopen(fd, mode);
    if (!file)
        ::close(fd);
    return file;
}

FILE* OpenOrReport(const std::string& path, const char* mode) {
    FILE* file = OpenPrivate(path, mode);
    if (!file) {
        // Opened at the start of streaming, on the user-interface thread.
        platform::ShowMessageBox(
            platform::Format(resources::LoadString(IDS_PROBE_LOG_OPEN_ERROR).c_str(), path.c_str()),
            GetProductName(), platform::MsgIcon::Exclamation);
    }
    return file;
}

// "%04x : " and "%02x " per byte, sixteen bytes a line.
void AppendHexDump(std::string& out, const uint8_t* bytes, size_t count) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (size_t line = 0; line < count; line += kBytesPerDumpLine) {
        char offset[24];
        const int n = std::snprintf(offset, sizeof(offset), "%04zx : ", line);
        out.append(offset, static_cast<size_t>(n));
        const size_t end = std::min(count, line + kBytesPerDumpLine);
        for (size_t i = line; i < end; ++i) {
            const char hex[3] = {kDigits[bytes[i] >> 4], kDigits[bytes[i] & 0xF], ' '};
            out.append(hex, 3);
        }
        out += '\n';
    }
}

}  // namespace

void CProbeData::OpenUsbLog() {
    CloseUsbLog();
    m_bLogActive = m_bUsbLogEnabled;
    if (!m_bLogActive)
        return;
    const std::string stamp = LocalStamp();
    m_pTextLog = OpenOrReport(kLogFolder + stamp + ".log", "w");
    m_pRawLog = OpenOrReport(kLogFolder + stamp + ".raw", "wb");
    if (m_pTextLog)
        m_strHexDump.reserve(64 + kProbeFrameBytes / kBytesPerDumpLine * 64);
}

void CProbeData::WriteUsbLog(const uint8_t* frame, size_t count) {
    if (!m_bLogActive)
        return;
    if (m_pRawLog)
        std::fwrite(frame, 1, count, m_pRawLog);
    if (m_pTextLog) {
        m_strHexDump.clear();
        m_strHexDump.append("Time : ").append(LocalStamp()).append("\n");
        AppendHexDump(m_strHexDump, frame, count);
        m_strHexDump += '\n';
        std::fwrite(m_strHexDump.data(), 1, m_strHexDump.size(), m_pTextLog);
    }
}

void CProbeData::CloseUsbLog() {
    if (m_pTextLog)
        std::fclose(m_pTextLog);
    if (m_pRawLog)
        std::fclose(m_pRawLog);
    m_pTextLog = nullptr;
    m_pRawLog = nullptr;
    m_bLogActive = false;
}
