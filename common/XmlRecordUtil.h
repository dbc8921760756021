// Pieces the archive records share when they read and write their files: the record
// element under the root, one text child per field, and the number forms of the fields.
#pragma once

#include <tinyxml2.h>
#include <cstdint>
#include <string>

// Starts a record document from nothing: the declaration, the root "quarnet" and the
// record element, with the attribute "id" (when not null) and then "syntax".
tinyxml2::XMLElement* XmlBeginRecord(tinyxml2::XMLDocument& doc, const char* element, const std::string* id,
                                     uint32_t syntax);

// Appends a child element holding the text.
void XmlAppendTextChild(tinyxml2::XMLElement* parent, const char* name, const std::string& text);

// Opens an existing record file and finds the first record element of that name under the
// root. Null when the path is missing or a folder, or the file holds no such element.
const tinyxml2::XMLElement* XmlOpenRecord(tinyxml2::XMLDocument& doc, const std::string& path,
                                          const char* element);

// An unsigned 64-bit decimal the way strtoull reads it in the C locale (leading blanks,
// digits up to the first other character, the largest value on overflow), except that a
// minus sign gives 0 instead of wrapping around.
uint64_t ParseUInt64(const std::string& text);
