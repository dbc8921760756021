// One patient: identity and dates as kept in the patient file, their display forms, and a
// scan of the patient's stored items with two filters. The patient file is
// <data root>/<id>/<id>.xml; the patient's stored items lie beside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/XmlInfo.h"

// Filters of CUser::FindNextStore.
enum StoreScanMode : int32_t {
    StoreScanNone = 0,
    StoreScanDateRange = 4,  // stamps whose date lies in [m_nScanFrom, m_nScanTo]
    StoreScanFromStamp = 5,  // stamps at or after m_strScanStamp
};

class CUser : public CXmlInfo {
public:
    std::string m_strId;  // patient id: names the patient folder and file
    std::string m_strName;
    std::string m_strSex;            // "Male", "Female" or empty, as stored
    std::string m_strSexText;        // display text of the sex
    std::string m_strBirthdateText;  // birthdate in the user's date format, or empty
    std::string m_strBirthdate;      // "YYYY-MM-DD" as stored, or empty
    std::string m_strNote;
    std::string m_strLmp;             // last menstrual period, "YYYY-MM-DD" or empty
    std::string m_strBbt;             // basal-body-temperature date, "YYYY-MM-DD" or empty
    uint64_t m_nLastStoreInfoId = 0;  // id of the patient's last stored item
    std::string m_strFolder;          // folder of the patient file last loaded (no trailing '/')

    // The stored items found by ScanStoreFiles, and the cursor state of FindNextStore.
    // The thumbnail list sets the stamp filter by writing these directly.
    std::vector<std::string> m_lstStoreNames;
    int32_t m_nScanMode = StoreScanNone;
    int32_t m_nScanPos = 0;
    bool m_bScanAll = false;
    int32_t m_nScanFrom = 0;  // yyyymmdd
    int32_t m_nScanTo = 0;    // yyyymmdd
    std::string m_strScanStamp;

    CUser() = default;

    // The patient file of an id; empty for an id that is not a valid patient id.
    static std::string GetXmlPath(const std::string& id);
    // Loads the patient file of an id; false also when the file holds another id.
    bool Load(const std::string& id);

    bool Save() const override;
    void Clear() override;
    // True when the file was read and holds a valid patient id. Syntax 1 and 2 are read.
    bool LoadXml(const std::string& path) override;
    // Rebuilds the file from the record alone (syntax 2), creating the patient folder when
    // needed; the old file is replaced atomically. False for an invalid id or a failed write.
    bool SaveXml(const std::string& path) const override;

    // Lists the stored items of the patient folder: files or folders named by a 14-character
    // stamp plus ".bmp", and folders named by one plus ".cine", in name order.
    void ScanStoreFiles();
    // Starts a date-range scan; blank bounds accept every item, an upper bound of 0 none.
    void SetDateFilter(const std::string& from, const std::string& to);
    // True when the cursor stands on an accepted item; the caller reads the name at
    // m_nScanPos and advances m_nScanPos itself. False at the end of the list.
    bool FindNextStore();

    // '*' any run of characters, '?' one character, anything else itself (case matters).
    static bool MatchWildcard(const std::string& pattern, const std::string& text);
};
