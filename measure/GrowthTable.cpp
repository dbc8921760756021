#include "measure/GrowthTable.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/StringUtil.h"
#include "resources/StringTable.h"

namespace {

constexpr int kOpenFailedStringId = 251;
constexpr int kReadFailedStringId = 256;
// The tables hold a few hundred lines; a file far larger is no growth table.
constexpr off_t kMaxTableBytes = 1 << 20;

void ShowPlain(const std::string& text) {
    platform::ShowMessageBox(text, "", platform::MsgIcon::None, platform::MsgButtons::Ok);
}

// trunc(cm × 10) when it is an int; none for NaN, infinities and sizes beyond int.
std::optional<int> KeyOf(double centimetres) {
    const double tenths = std::trunc(centimetres * 10.0);
    if (!std::isfinite(tenths) || tenths < static_cast<double>(INT_MIN) ||
        tenths > static_cast<double>(INT_MAX))
        return std::nullopt;
    return static_cast<int>(tenths);
}

// The text up to the next comma (or the end), moving the position past that comma.
std::string NextField(const std::string& line, size_t& pos) {
    if (pos > line.size())
        return {};
    const size_t comma = line.find(',', pos);
    const size_t end = comma == std::string::npos ? line.size() : comma;
    std::string field = line.substr(pos, end - pos);
    pos = comma == std::string::npos ? line.size() + 1 : comma + 1;
    return field;
}

}  // namespace

void GrowthTable::Load(const std::string& path) {
    // Shared for reading and writing by others; non-blocking so a FIFO in place of a table
    // cannot hang the evaluation.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    // A device or a huge file would take the evaluation's memory and time: neither is read.
    // (A folder opens and fails at its first read, which says why.)
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) ||
                    st.st_size > kMaxTableBytes)) {
        ::close(fd);
        fd = -1;
    }
    if (fd < 0) {
        ShowPlain(platform::Format(resources::LoadString(kOpenFailedStringId).c_str(), path.c_str()));
        return;
    }
    std::string text;
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && text.find('\n') == std::string::npos) {
            // The header line could not be read: say why, then go on with what there is.
            const std::string reason = std::strerror(errno);
            ShowPlain(platform::Format(resources::LoadString(kReadFailedStringId).c_str(), path.c_str(),
                                       reason.c_str()));
        }
        break;  // end of file, or a read error after the header ends the table
    }
    ::close(fd);
    Parse(text);
}

void GrowthTable::Parse(const std::string& text) {
    size_t pos = text.find('\n');  // the header line is never an entry
    if (pos == std::string::npos)
        return;
    ++pos;
    while (pos < text.size()) {
        const size_t eol = text.find('\n', pos);
        const size_t end = eol == std::string::npos ? text.size() : eol;
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();  // CR LF reads as LF
        AddLine(line);
        if (eol == std::string::npos)
            break;
        pos = eol + 1;
    }
}

void GrowthTable::AddLine(const std::string& line) {
    size_t pos = 0;
    const double centimetres = platform::ParseDouble(NextField(line, pos));
    const int weeks = platform::ParseInt32(NextField(line, pos));
    const int days = platform::ParseInt32(NextField(line, pos));
    const std::optional<int> key = KeyOf(centimetres);
    if (!key)
        return;                                        // a size without an int key cannot be looked up
    entries_.emplace(*key, GrowthEntry{weeks, days});  // the first line of a key stays
}

GrowthEntry GrowthTable::Lookup(double centimetres) const {
    const std::optional<int> key = KeyOf(centimetres);
    if (!key)
        throw std::out_of_range("growth table: size has no key");
    return entries_.at(*key);
}

const char* GrowthTableFileName(int model, ObItem item) {
    if (model < 0 || model >= kGrowthModelCount)
        return nullptr;
    switch (item) {
        case ObItemBpd:
            return "BPD.DAT";
        case ObItemFl:
            return "FL.DAT";
        case ObItemCrl:
            return model == 2 ? nullptr : "CRL.DAT";
        case ObItemAc:
            return model == 3 ? "AC.DAT" : nullptr;
        case ObItemGs:
            return model == 3 ? "GS.DAT" : nullptr;
        default:
            return nullptr;
    }
}

std::optional<std::string> GrowthTablePath(const std::string& root, int model, ObItem item) {
    const char* file = GrowthTableFileName(model, item);
    if (!file)
        return std::nullopt;
    std::string path = root;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + kGrowthModelFolders[model] + file;
}

std::string DefaultGrowthTableRoot() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return "gs_data/";
    const std::string exe(buffer, static_cast<size_t>(n));
    return platform::ParentFolder(exe) + "/gs_data/";
}

GrowthTable LoadGrowthTable(const std::string& path) {
    GrowthTable table;
    table.Load(path);
    return table;
}

std::optional<double> LookupCentimetres(double millimetres) {
    if (!std::isfinite(millimetres) || millimetres + 0.5 < 1.0 || millimetres + 0.5 >= 1001.0)
        return std::nullopt;
    const int rounded = static_cast<int>(millimetres + 0.5);
    return static_cast<double>(rounded) / 10.0;
}

std::string LookupAgeText(const GrowthTable& table, double millimetres) {
    const std::optional<double> cm = LookupCentimetres(millimetres);
    if (!cm)
        return "-";
    try {
        const GrowthEntry e = table.Lookup(*cm);
        return platform::Format("%d W %d D", e.weeks, e.days);
    } catch (const std::out_of_range&) {
        return "-";
    }
}
