// The base of the archive's XML records (patient, stored item, image sidecar). Each record
// is a value object, read from and written to its own file whole.
#pragma once

#include <string>

class CXmlInfo {
public:
    virtual ~CXmlInfo() = default;

    // Writes the record to its own file; false when it was not written.
    virtual bool Save() const = 0;
    // Resets every field.
    virtual void Clear() = 0;
    // Reads the record from a file; false when the file does not hold a usable record.
    virtual bool LoadXml(const std::string& path) = 0;
    // Writes the record to a file; false when it was not written.
    virtual bool SaveXml(const std::string& path) const = 0;

protected:
    CXmlInfo() = default;
    CXmlInfo(const CXmlInfo&) = default;
    CXmlInfo& operator=(const CXmlInfo&) = default;
};
