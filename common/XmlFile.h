// The free functions through which every XML file of the program is opened, read, written
// and saved: the settings file and the archive records. They fix the shared conventions:
// declaration version "1.0" encoding "UTF-8", root element "quarnet", a "syntax" attribute
// per section or record, one child element per field, CR LF line ends.
#pragma once

#include <cstdint>
#include <string>
#include <tinyxml2.h>

#include "platform/FileSystem.h"

// Loads the file into the document. A missing, empty, unreadable or malformed file leaves
// an empty (or partly built) document with the library's error recorded, and still returns
// true once the file's folder exists; the declaration is then added when asked.
// False only for a null document or a folder that cannot be created.
bool XmlOpenDocument(tinyxml2::XMLDocument* doc, bool addDeclaration, const std::string& path);

// True when the last open found a file that exists but does not parse, or holds content
// after its root element: the caller must not write over it without keeping it aside first.
bool XmlDocumentDamaged(const tinyxml2::XMLDocument* doc);

// True when the last open found a file that exists but could not be read (permissions, an
// I/O error): nothing is known of what it holds, so it must not be written over.
bool XmlDocumentUnreadable(const tinyxml2::XMLDocument* doc);

// True when a top-level text, or an element after the root, stands in the document: the
// library takes it, but prints it back as a file that no longer parses.
bool XmlHasContentAfterRoot(const tinyxml2::XMLDocument* doc);
// Removes that content, leaving the root and everything in it.
void XmlRemoveContentAfterRoot(tinyxml2::XMLDocument* doc);

// Prints the whole document (indented, CR LF line ends) and replaces the file atomically.
// The written file is parsed back before it takes the old one's place. False, with the old
// file left as it was, when the file cannot be written or would not load again.
bool XmlSaveDocument(tinyxml2::XMLDocument* doc, const std::string& path);

// Like XmlSaveDocument for records that are written once: refuses an existing file (Exists).
// `failedSteps` names the ways of putting the file in place that failed (see
// platform::CreateFileExclusive).
platform::WriteResult XmlCreateDocument(tinyxml2::XMLDocument* doc, const std::string& path,
                                        std::string* failedSteps = nullptr);

// The exact bytes XmlSaveDocument writes.
std::string XmlPrintDocument(tinyxml2::XMLDocument* doc);

// True when the folder of the file exists (created, with its parents, when missing).
bool XmlEnsureFolder(const std::string& path);

void XmlAddDeclaration(tinyxml2::XMLDocument* doc);

std::string XmlGetChildText(const tinyxml2::XMLElement* parent, const char* name, const std::string& defaultText);
std::string XmlGetElementText(const tinyxml2::XMLElement* element, const std::string& defaultText);
std::string XmlGetAttributeText(const tinyxml2::XMLElement* element, const char* name,
                                const std::string& defaultText);
// The "syntax" attribute read as a signed decimal (leading digits); 0 when missing.
int32_t XmlGetSyntax(const tinyxml2::XMLElement* element);

// Appends a text node (writers call it once on a new element).
void XmlSetText(tinyxml2::XMLElement* element, const std::string& text);
void XmlSetId(tinyxml2::XMLElement* element, const std::string& text);
void XmlSetSyntax(tinyxml2::XMLElement* element, uint32_t syntax);

// The name of the root element of every XML file.
inline constexpr const char* kXmlRootName = "quarnet";

// The first top-level element named "quarnet", or null.
tinyxml2::XMLElement* XmlFindRoot(tinyxml2::XMLDocument* doc);
