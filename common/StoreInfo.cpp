#include "common/StoreInfo.h"

#include <tinyxml2.h>
#include <climits>

#include "common/AppFolders.h"
#include "common/ArchiveNames.h"
#include "common/CommonUtil.h"
#include "common/PatientId.h"
#include "common/RecycleBin.h"
#include "common/XmlFile.h"
#include "common/XmlRecordUtil.h"
#include "platform/FileSystem.h"
#include "platform/StringUtil.h"

namespace {

constexpr const char* kElementName = "store_info";
constexpr uint32_t kSyntax = 1;
// A stamp plus the shortest item extension (".bmp").
constexpr size_t kShortestItemFileName = kStampLength + 4;

std::string TrimSeparators(const std::string& text) {
    const size_t begin = text.find_first_not_of("/\\");
    if (begin == std::string::npos)
        return {};
    const size_t end = text.find_last_not_of("/\\");
    return text.substr(begin, end - begin + 1);
}

std::string RemoveAll(std::string text, const std::string& part) {
    if (part.empty())
        return text;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at))
        text.erase(at, part.size());
    return text;
}

}  // namespace

CStoreInfo::CStoreInfo(uint64_t id, int32_t store_type, int32_t probe_type, const std::string& user_id,
                       const std::string& hw_info, const std::string& app_name,
                       const std::string& app_version)
    : id(id),
      store_type(store_type),
      probe_type(probe_type),
      user_id(user_id),
      hw_info(hw_info),
      app_name(app_name),
      app_version(app_version) {
    // One reading of the clock, cut to the whole second, gives both forms.
    const int64_t micros = platform::Clock().UtcMicros();
    const int64_t second = (micros >= 0 ? micros : micros - 999999) / 1000000 * 1000000;
    store_time = FormatStoreTime(platform::MicrosToUtc(second));
    name = MakeStamp(platform::MicrosToLocal(second));
}

void CStoreInfo::Clear() {
    id = 0;
    store_type = StoreTypeUnknown;
    probe_type = 0;
    user_id.clear();
    name.clear();
    store_time.clear();
    hw_info.clear();
    app_name.clear();
    app_version.clear();
}

std::string CStoreInfo::GetUserFolder(const std::string& userId) {
    const std::string root = GetDataFolder();
    if (!IsValidPatientId(userId) || root.empty())
        return {};
    return root + userId + "/";
}

std::string CStoreInfo::InUserFolder(const std::string& fileName) const {
    if (name.find_first_of("/\\") != std::string::npos)
        return {};
    const std::string folder = GetUserFolder(user_id);
    return folder.empty() ? folder : folder + fileName;
}

std::string CStoreInfo::GetXmlFileName() const {
    return name + kRecordExtension;
}
std::string CStoreInfo::GetXmlPath() const {
    return InUserFolder(GetXmlFileName());
}

std::string CStoreInfo::ItemFileName(const char* extension) const {
    if (store_type == StoreTypeStill)
        return name + extension;
    // A cine is shown and described by its first frame.
    if (store_type == StoreTypeCine)
        return MakeCineFramePath(name + kCineExtension + "/", 1, extension);
    return {};
}

std::string CStoreInfo::GetBmpFileName() const {
    return ItemFileName(kBitmapExtension);
}
std::string CStoreInfo::GetBmpPath() const {
    return InUserFolder(GetBmpFileName());
}
std::string CStoreInfo::GetInfoFileName() const {
    return ItemFileName(kSidecarExtension);
}
std::string CStoreInfo::GetInfoPath() const {
    return InUserFolder(GetInfoFileName());
}

std::string CStoreInfo::GetCineFileName() const {
    return store_type == StoreTypeCine ? name + kCineExtension : std::string();
}

std::string CStoreInfo::GetCinePath() const {
    if (store_type != StoreTypeCine)
        return {};
    const std::string path = InUserFolder(GetCineFileName());
    return path.empty() ? path : path + "/";
}

std::string CStoreInfo::GetTimeText() const {
    platform::SystemTime local;
    if (!IsStamp(name) || !ReadStamp(name, local))
        return {};
    return CCommonUtil::GetDateFormatter().FormatDateTime(local, false) +
           platform::Format(" %02d:%02d:%02d", local.wHour, local.wMinute, local.wSecond);
}

std::string CStoreInfo::MakeNameFromStoreTime(const std::string& storeTime) {
    platform::SystemTime utc;
    platform::SystemTime local;
    if (!ParseStoreTime(storeTime, utc) || !platform::UtcToLocal(utc, local))
        return {};
    return MakeStamp(local);
}

bool CStoreInfo::IsSaved() const {
    const std::string path = GetXmlPath();
    return platform::PathExists(path) && !platform::IsDirectory(path);
}

bool CStoreInfo::Save() const {
    return SaveXml(GetXmlPath());
}

bool CStoreInfo::SaveXml(const std::string& path) const {
    if (path.empty() || !IsValidPatientId(user_id))
        return false;
    if (platform::PathExists(path))
        return false;  // a record is never overwritten
    if (!XmlEnsureFolder(path))
        return false;

    tinyxml2::XMLDocument doc;
    const std::string idText = platform::Format("%llu", static_cast<unsigned long long>(id));
    tinyxml2::XMLElement* record = XmlBeginRecord(doc, kElementName, &idText, kSyntax);
    XmlAppendTextChild(record, "store_type", platform::Format("%d", store_type));
    XmlAppendTextChild(record, "store_time", store_time);
    XmlAppendTextChild(record, "user_id", user_id);
    XmlAppendTextChild(record, "probe_type", platform::Format("%d", probe_type));
    XmlAppendTextChild(record, "hw_info", hw_info);
    XmlAppendTextChild(record, "app_name", app_name);
    XmlAppendTextChild(record, "app_version", app_version);
    return XmlCreateDocument(&doc, path) == platform::WriteResult::Ok;
}

bool CStoreInfo::LoadXml(const std::string& path) {
    Clear();
    tinyxml2::XMLDocument doc;
    const tinyxml2::XMLElement* record = XmlOpenRecord(doc, path, kElementName);
    if (!record || XmlGetSyntax(record) != static_cast<int32_t>(kSyntax))
        return false;

    const std::string idText = XmlGetAttributeText(record, "id", "");
    if (!idText.empty())
        id = ParseUInt64(idText);
    const std::string typeText = XmlGetChildText(record, "store_type", "");
    if (!typeText.empty()) {
        const uint64_t type = ParseUInt64(typeText);
        store_type = type <= INT32_MAX ? static_cast<int32_t>(type) : StoreTypeUnknown;
    }
    const std::string probeText = XmlGetChildText(record, "probe_type", "");
    if (!probeText.empty()) {
        const uint64_t probe = ParseUInt64(probeText);
        probe_type = probe <= 2 ? static_cast<int32_t>(probe) : 0;
    }
    store_time = XmlGetChildText(record, "store_time", "");
    user_id = XmlGetChildText(record, "user_id", "");
    hw_info = XmlGetChildText(record, "hw_info", "");
    app_name = XmlGetChildText(record, "app_name", "");
    app_version = XmlGetChildText(record, "app_version", "");

    std::string stem = platform::FileNamePart(path);
    if (stem.size() > 4 && stem.ends_with(kRecordExtension))
        stem.resize(stem.size() - 4);
    name = IsStamp(stem) ? stem : MakeNameFromStoreTime(store_time);

    return id != 0 && IsValidPatientId(user_id) && store_type != StoreTypeUnknown;
}

CStoreInfo CStoreInfo::FromUserFile(const std::string& userId, const std::string& fileName) {
    CStoreInfo record;
    if (!IsValidPatientId(userId) || platform::CountCodePoints(fileName) < kShortestItemFileName)
        return record;

    const std::string head = platform::TruncateCodePoints(fileName, kStampLength);
    record.user_id = userId;
    record.name = head;
    if (record.LoadXml(record.GetXmlPath())) {
        // The item is the one in this patient's folder, whatever patient a copied record
        // names: its paths must never lead into another patient's folder.
        record.user_id = userId;
        return record;
    }

    record.Clear();
    record.user_id = userId;
    record.name = TrimSeparators(head);
    const std::string extension = RemoveAll(fileName, record.name);
    if (extension == kBitmapExtension)
        record.store_type = StoreTypeStill;
    if (extension == kCineExtension)
        record.store_type = StoreTypeCine;

    // The stamp is local time of this machine; the store time is the same moment in UTC.
    platform::SystemTime local;
    platform::SystemTime utc;
    if (ReadStamp(record.name, local) && platform::LocalToUtc(local, utc))
        record.store_time = FormatStoreTime(utc);
    return record;
}

CStoreInfo CStoreInfo::FromFilePath(const std::string& path) {
    CStoreInfo record;
    if (record.LoadXml(path) && record.GetXmlPath() == path)
        return record;  // otherwise the folder the path lies in names the patient

    const std::string root = GetDataFolder();
    if (root.empty() || path.size() <= root.size() || path.compare(0, root.size(), root) != 0)
        return CStoreInfo();
    const std::string rest = path.substr(root.size());
    const size_t slash = rest.find('/');
    const std::string userId = slash == std::string::npos ? std::string() : rest.substr(0, slash);
    const std::string fileName = slash == std::string::npos ? rest : rest.substr(slash + 1);
    return FromUserFile(TrimSeparators(userId), TrimSeparators(fileName));
}

bool CStoreInfo::DeleteFiles(std::string* errorText) const {
    bool allMoved = true;
    std::string errors;
    const auto moveToTrash = [&](const std::string& path) {
        std::string error;
        if (MoveToTrash(path, &error) != TrashStatus::Ok) {
            allMoved = false;
            errors += (errors.empty() ? "" : "\n") + error;
        }
    };
    const std::string cine = GetCinePath();
    if (!cine.empty() && platform::IsDirectory(cine))
        moveToTrash(cine);
    for (const std::string& path : {GetBmpPath(), GetInfoPath(), GetXmlPath()}) {
        if (!path.empty() && platform::IsRegularFile(path))
            moveToTrash(path);
    }
    if (errorText)
        *errorText = errors;
    return allMoved;
}
