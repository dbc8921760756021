#include "common/BitmapInfo.h"

#include <tinyxml2.h>
#include <cstdio>

#include "common/XmlFile.h"
#include "common/XmlRecordUtil.h"
#include "platform/FileSystem.h"
#include "platform/StringUtil.h"

namespace {

constexpr const char* kElementName = "image_info";
constexpr uint32_t kSyntax = 1;

// The integer values in the order they are written and read.
struct IntField {
    const char* element;
    int32_t CBitmapInfo::*member;
};
constexpr IntField kIntFields[] = {
    {"depth", &CBitmapInfo::depth},         {"focus", &CBitmapInfo::focus},
    {"freq_mode", &CBitmapInfo::freq_mode}, {"gain", &CBitmapInfo::gain},
    {"contrast", &CBitmapInfo::contrast},
};

uint16_t ToField(int value) {
    return value >= 0 && value <= 0xFFFF ? static_cast<uint16_t>(value) : 0;
}

}  // namespace

CBitmapInfo::CBitmapInfo() {
    Clear();
}

CBitmapInfo::CBitmapInfo(const std::string& path, const platform::SystemTime& time, int32_t depth,
                         int32_t focus, int32_t freq_mode, int32_t gain, int32_t contrast, double gamma)
    : path(path),
      time(time),
      depth(depth),
      focus(focus),
      freq_mode(freq_mode),
      gain(gain),
      contrast(contrast),
      gamma(gamma) {}

void CBitmapInfo::Clear() {
    path.clear();
    time = platform::GetLocalTime();
    for (const IntField& f : kIntFields)
        this->*f.member = 0;
    gamma = 0.0;
}

bool CBitmapInfo::Save() const {
    return SaveXml(path);
}

bool CBitmapInfo::SaveXml(const std::string& target) const {
    if (target.empty() || platform::PathExists(target))
        return false;  // a sidecar is never overwritten
    if (!XmlEnsureFolder(target))
        return false;
    const std::string bytes = PrintXml();
    return !bytes.empty() && platform::CreateFileExclusive(target, bytes) == platform::WriteResult::Ok;
}

std::string CBitmapInfo::PrintXml() const {
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* record = XmlBeginRecord(doc, kElementName, nullptr, kSyntax);
    XmlAppendTextChild(
        record, "datetime",
        platform::Format("%02d/%02d/%04d %02d:%02d:%02d.%03d", time.wMonth, time.wDay, time.wYear, time.wHour,
                         time.wMinute, time.wSecond, time.wMilliseconds));
    for (const IntField& f : kIntFields)
        XmlAppendTextChild(record, f.element, platform::Format("%d", this->*f.member));
    XmlAppendTextChild(record, "gamma", platform::Format("%lf", gamma));
    doc.ClearError();
    std::string bytes = XmlPrintDocument(&doc);
    return doc.Error() ? std::string() : bytes;
}

bool CBitmapInfo::LoadXml(const std::string& source) {
    Clear();
    tinyxml2::XMLDocument doc;
    const tinyxml2::XMLElement* record = XmlOpenRecord(doc, source, kElementName);
    if (!record || XmlGetSyntax(record) != static_cast<int32_t>(kSyntax))
        return false;

    bool complete = true;
    const std::string datetime = XmlGetChildText(record, "datetime", "");
    if (datetime.empty()) {
        complete = false;
    } else {
        int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0, millis = 0;
        std::sscanf(datetime.c_str(), "%02d/%02d/%04d %02d:%02d:%02d.%03d", &month, &day, &year, &hour,
                    &minute, &second, &millis);
        // The day of the week is not derived: it keeps the cleared value.
        time.wMonth = ToField(month);
        time.wDay = ToField(day);
        time.wYear = ToField(year);
        time.wHour = ToField(hour);
        time.wMinute = ToField(minute);
        time.wSecond = ToField(second);
        time.wMilliseconds = ToField(millis);
    }
    for (const IntField& f : kIntFields) {
        const std::string text = XmlGetChildText(record, f.element, "");
        if (text.empty()) {
            complete = false;
        } else {
            this->*f.member = platform::ParseInt32(text, 10);
        }
    }
    const std::string gammaText = XmlGetChildText(record, "gamma", "");
    if (gammaText.empty()) {
        complete = false;
    } else {
        gamma = platform::ParseDouble(gammaText);
    }
    return complete;
}
