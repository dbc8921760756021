#include "common/SettingsStore.h"

#include <cstdio>
#include <tinyxml2.h>

#include "common/AppFolders.h"
#include "common/XmlFile.h"
#include "platform/FileSystem.h"
#include "platform/StringUtil.h"

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

namespace {

// Serialises whole reads and read-modify-write cycles of the file.
std::mutex g_fileMutex;

// A file that does not parse is moved aside before anything is written over it, so a
// damaged settings file is never silently replaced by one holding a single key.
bool SetDamagedFileAside(const std::string& path) {
    for (int n = 0; n < 1000; ++n) {
        const std::string aside = n == 0 ? path + ".bad" : platform::Format("%s.bad%d", path.c_str(), n);
        if (platform::PathExists(aside)) continue;
        return std::rename(path.c_str(), aside.c_str()) == 0;
    }
    return false;
}

XMLElement* FindChild(XMLElement* parent, const char* name) {
    return parent ? parent->FirstChildElement(name) : nullptr;
}

// Every settings file starts with the declaration, also one rewritten from an empty file.
void EnsureDeclaration(XMLDocument& doc) {
    for (const tinyxml2::XMLNode* n = doc.FirstChild(); n; n = n->NextSibling()) {
        if (n->ToDeclaration())
            return;
    }
    doc.InsertFirstChild(doc.NewDeclaration("xml version=\"1.0\" encoding=\"UTF-8\""));
}

}  // namespace

std::optional<std::string> SettingsCache::Find(int32_t section, int32_t keyId) const {
    std::lock_guard lock(mutex_);
    const auto s = values_.find(section);
    if (s == values_.end()) return std::nullopt;
    const auto k = s->second.find(keyId);
    if (k == s->second.end()) return std::nullopt;
    return k->second;
}

void SettingsCache::Store(int32_t section, int32_t keyId, const std::string& value) {
    std::lock_guard lock(mutex_);
    values_[section][keyId] = value;
}

void SettingsCache::Clear() {
    std::lock_guard lock(mutex_);
    values_.clear();
}

SettingsCache& GetSettingsCache() {
    static SettingsCache* cache = new SettingsCache;  // lives until the process ends
    return *cache;
}

const char* SettingSectionName(int32_t section) {
    switch (section) {
        case SettingSectionApp:
            return "app";
        case SettingSectionProbeConvex:
            return "probe_convex";
        case SettingSectionProbeLinear:
            return "probe_linear";
        default:
            return nullptr;
    }
}

std::string GetSettingString(int32_t section, SettingKey key, const std::string& defaultText, bool useCache) {
    if (useCache) {
        if (auto cached = GetSettingsCache().Find(section, key.keyId)) return *cached;
    }
    std::lock_guard lock(g_fileMutex);
    std::string result = defaultText;
    XMLDocument doc;
    if (XmlOpenDocument(&doc, false, GetConfigFilePath())) {
        const char* sectionName = SettingSectionName(section);
        XMLElement* sec = sectionName ? FindChild(XmlFindRoot(&doc), sectionName) : nullptr;
        if (sec && static_cast<uint32_t>(XmlGetSyntax(sec)) >= static_cast<uint32_t>(key.minSyntax)) {
            result = XmlGetChildText(sec, key.keyName, defaultText);
        }
    }
    GetSettingsCache().Store(section, key.keyId, result);
    return result;
}

std::string GetSettingText(int32_t section, SettingKey key, const std::string& defaultText, bool useCache) {
    return GetSettingString(section, key, defaultText, useCache);
}

std::string SettingDefaultText(SettingKey key) {
    if (!key.hasDefault)
        return key.type == SettingType::Text ? std::string() : std::string("0");
    switch (key.type) {
        case SettingType::Int:
            return platform::Format("%d", static_cast<int32_t>(key.defaultNumber));
        case SettingType::Hex:
            return platform::Format("%x", static_cast<uint32_t>(key.defaultNumber));
        case SettingType::Double:
            return platform::Format("%lf", key.defaultNumber);
        case SettingType::Unsigned:
            return platform::Format("%u", static_cast<uint32_t>(key.defaultNumber));
        case SettingType::Text:
            break;
    }
    return key.defaultText ? std::string(key.defaultText) : std::string();
}

std::string GetSettingString(int32_t section, SettingKey key) {
    return GetSettingString(section, key, SettingDefaultText(key));
}

std::string GetSettingText(int32_t section, SettingKey key) {
    return GetSettingString(section, key);
}

int32_t GetSettingInt(int32_t section, SettingKey key) {
    return platform::ParseInt32(GetSettingString(section, key), 10);
}

uint32_t GetSettingHex(int32_t section, SettingKey key) {
    return platform::ParseUInt32(GetSettingString(section, key), 16);
}

double GetSettingDouble(int32_t section, SettingKey key) {
    return platform::ParseDouble(GetSettingString(section, key));
}

uint32_t GetSettingUnsigned(int32_t section, SettingKey key) {
    return platform::ParseUInt32(GetSettingString(section, key), 10);
}

int32_t GetSettingInt(int32_t section, SettingKey key, int32_t defaultValue) {
    return platform::ParseInt32(GetSettingString(section, key, platform::Format("%d", defaultValue)), 10);
}

uint32_t GetSettingHex(int32_t section, SettingKey key, uint32_t defaultValue) {
    return platform::ParseUInt32(GetSettingString(section, key, platform::Format("%x", defaultValue)), 16);
}

double GetSettingDouble(int32_t section, SettingKey key, double defaultValue) {
    return platform::ParseDouble(GetSettingString(section, key, platform::Format("%lf", defaultValue)));
}

bool SetSettingString(int32_t section, SettingKey key, const std::string& value) {
    const char* sectionName = SettingSectionName(section);
    if (!sectionName) return false;

    std::lock_guard lock(g_fileMutex);
    const std::string path = GetConfigFilePath();
    XMLDocument doc;
    if (!XmlOpenDocument(&doc, false, path))
        return false;
    // A file that exists but could not be read may hold every setting the user made: it is
    // not written over. Reads give the defaults meanwhile.
    if (XmlDocumentUnreadable(&doc))
        return false;
    if (XmlDocumentDamaged(&doc)) {
        if (!SetDamagedFileAside(path)) return false;
        // Content after the root is all that is damaged there; the settings before it stay.
        if (doc.Error())
            doc.Clear();
        XmlRemoveContentAfterRoot(&doc);
    }
    EnsureDeclaration(doc);

    XMLElement* root = XmlFindRoot(&doc);
    if (!root) root = doc.InsertEndChild(doc.NewElement(kXmlRootName))->ToElement();
    XMLElement* sec = FindChild(root, sectionName);
    if (!sec) {
        sec = doc.NewElement(sectionName);
        XmlSetSyntax(sec, 1);
        root->InsertEndChild(sec);
    }
    XMLElement* item = FindChild(sec, key.keyName);
    if (!item) item = sec->InsertEndChild(doc.NewElement(key.keyName))->ToElement();
    item->DeleteChildren();
    item->SetText(value.c_str());  // an empty value too: <key></key>

    if (!XmlSaveDocument(&doc, path)) return false;
    GetSettingsCache().Store(section, key.keyId, value);
    return true;
}

bool SetSettingText(int32_t section, SettingKey key, const std::string& value) {
    return SetSettingString(section, key, value);
}

bool SetSettingInt(int32_t section, SettingKey key, int32_t value) {
    return SetSettingString(section, key, platform::Format("%d", value));
}

bool SetSettingDouble(int32_t section, SettingKey key, double value) {
    return SetSettingString(section, key, platform::Format("%lf", value));
}

void ResetSettingsForTesting() {
    GetSettingsCache().Clear();
    ResetAppFoldersForTesting();
}
