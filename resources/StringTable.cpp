#include "resources/StringTable.h"

#include <unordered_map>

namespace resources {

namespace {
struct Entry {
    int id;
    const char* text;
};

// One include file per subsystem keeps the table easy to extend without collisions.
constexpr Entry kEntries[] = {
#include "resources/strings/common.inc"
#include "resources/strings/probe.inc"
#include "resources/strings/imaging.inc"
#include "resources/strings/app.inc"
#include "resources/strings/maindlg.inc"
#include "resources/strings/measure.inc"
#include "resources/strings/archive.inc"
#include "resources/strings/settings.inc"
};

const std::unordered_map<int, std::string>& Table() {
    static const std::unordered_map<int, std::string> table = [] {
        std::unordered_map<int, std::string> t;
        for (const Entry& e : kEntries) t.emplace(e.id, e.text);
        return t;
    }();
    return table;
}
}  // namespace

const std::string& LoadString(int id) {
    static const std::string empty;
    const auto it = Table().find(id);
    return it == Table().end() ? empty : it->second;
}

bool HasString(int id) { return Table().count(id) != 0; }

}  // namespace resources
