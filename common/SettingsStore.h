// The settings store: typed getters and setters over the one XML settings file, addressed
// by section and key. Every reader names its default; reads never write the file. Each
// value read (a default included) and each value written successfully is cached for the
// life of the process, so the file is read at most once per key and section.
// Safe to call from any thread.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "common/SettingKeys.h"

// Section number -> key id -> value text, as last read or written.
class SettingsCache {
public:
    std::optional<std::string> Find(int32_t section, int32_t keyId) const;
    void Store(int32_t section, int32_t keyId, const std::string& value);
    void Clear();

private:
    mutable std::mutex mutex_;
    std::map<int32_t, std::map<int32_t, std::string>> values_;
};

SettingsCache& GetSettingsCache();

// The element name of a section, or null for a number that names no section.
const char* SettingSectionName(int32_t section);

std::string GetSettingString(int32_t section, SettingKey key, const std::string& defaultText, bool useCache = true);
std::string GetSettingText(int32_t section, SettingKey key, const std::string& defaultText, bool useCache = true);
int32_t GetSettingInt(int32_t section, SettingKey key, int32_t defaultValue);
uint32_t GetSettingHex(int32_t section, SettingKey key, uint32_t defaultValue);
double GetSettingDouble(int32_t section, SettingKey key, double defaultValue);

// The same, with the default of the key's table entry. A key without one (tx_freq) reads
// with 0 here; its callers give the probe's default to the getters above.
std::string GetSettingString(int32_t section, SettingKey key);
std::string GetSettingText(int32_t section, SettingKey key);
int32_t GetSettingInt(int32_t section, SettingKey key);
uint32_t GetSettingHex(int32_t section, SettingKey key);
double GetSettingDouble(int32_t section, SettingKey key);
// An unsigned key ("%u"), such as auto_stop_time, parsed as an unsigned decimal.
uint32_t GetSettingUnsigned(int32_t section, SettingKey key);

// The key's table default in the text form of its type, as the cache holds it.
std::string SettingDefaultText(SettingKey key);

// True when the settings file was saved. A section that names no section is refused.
bool SetSettingString(int32_t section, SettingKey key, const std::string& value);
bool SetSettingText(int32_t section, SettingKey key, const std::string& value);
bool SetSettingInt(int32_t section, SettingKey key, int32_t value);
bool SetSettingDouble(int32_t section, SettingKey key, double value);

// Empties the cache and forgets the kept folders (tests that point ProgramData elsewhere).
void ResetSettingsForTesting();
