// The record of one stored item (a still image or a cine clip) of a patient: who and what
// was stored, when, by which probe and program, and the names of all files of the item.
// Written once when the item is stored and never overwritten; read back to list the item;
// used to move the item's files to the Recycle Bin. See ArchiveNames.h for the layout.
#pragma once

#include <cstdint>
#include <string>

#include "common/XmlInfo.h"

enum StoreType : int32_t {
    StoreTypeUnknown = 0,
    StoreTypeStill = 1,
    StoreTypeCine = 2,
};

class CStoreInfo : public CXmlInfo {
public:
    uint64_t id = 0;          // the item's number within its patient
    int32_t store_type = 0;   // StoreType
    int32_t probe_type = 0;   // ProbeType: 0 none, 1 convex, 2 linear
    std::string user_id;      // the patient id
    std::string name;         // the item's 14-digit local stamp; not kept in the record file
    std::string store_time;   // the moment of storing in UTC, "YYYY-MM-DDThh:mm:ssZ"
    std::string hw_info;      // the probe's hardware id
    std::string app_name;     // the product name
    std::string app_version;  // the program's version text

    CStoreInfo() = default;
    // A record for an item stored now: store_time and name name the same whole second.
    CStoreInfo(uint64_t id, int32_t store_type, int32_t probe_type, const std::string& user_id,
               const std::string& hw_info, const std::string& app_name, const std::string& app_version);

    // The record of a file below the data root: the record file itself or any file of an
    // item. Without a readable record it is derived from the path.
    static CStoreInfo FromFilePath(const std::string& path);
    // The record of an item file found in a patient's folder (a stamp plus ".bmp" or
    // ".cine"): the item's record file when it reads, else derived from the file name.
    // Either way user_id is the folder's patient, so every path stays in that folder.
    static CStoreInfo FromUserFile(const std::string& userId, const std::string& fileName);
    void CopyFrom(const CStoreInfo& other) { *this = other; }

    // Names and paths. Folder paths end with '/'. Every path is empty when user_id is not a
    // valid patient id or the name could leave the patient folder.
    static std::string GetUserFolder(const std::string& userId);
    std::string GetXmlFileName() const;
    std::string GetXmlPath() const;
    std::string GetBmpFileName() const;   // cine: the first frame's bitmap; other types: empty
    std::string GetBmpPath() const;       // other types: the patient folder itself
    std::string GetInfoFileName() const;  // cine: the first frame's sidecar; other types: empty
    std::string GetInfoPath() const;      // other types: the patient folder itself
    std::string GetCineFileName() const;  // cine only
    std::string GetCinePath() const;      // cine only
    // The stamp for display: the date in the user's format, then " hh:mm:ss".
    std::string GetTimeText() const;
    // The local stamp of a UTC store time; empty when the text is no valid store time.
    static std::string MakeNameFromStoreTime(const std::string& storeTime);

    // True when the record file exists and is not a folder.
    bool IsSaved() const;
    bool Save() const override;
    void Clear() override;
    // The item's name comes from the record's file name (a stamp plus ".xml"), not from
    // store_time: local time depends on the machine's time zone, the files' names do not.
    bool LoadXml(const std::string& path) override;
    // Creates the record file; false when it exists already, or cannot be written.
    bool SaveXml(const std::string& path) const override;

    // Moves the item's files to the Recycle Bin: the cine folder, the bitmap, the sidecar
    // and the record, each when it exists. False, with errorText naming what stayed, when
    // any of them could not be moved.
    bool DeleteFiles(std::string* errorText = nullptr) const;

private:
    // The patient folder followed by the file name, or empty (see above).
    std::string InUserFolder(const std::string& fileName) const;
    // A still's file with that extension, or the first frame's file of a cine.
    std::string ItemFileName(const char* extension) const;
};
