#include "common/XmlFile.h"

#include "platform/StringUtil.h"

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;
using tinyxml2::XMLNode;

namespace {

// Larger files are none of ours: the settings file, the largest we write, is a few kilobytes.
constexpr size_t kMaxXmlFileBytes = 1 << 20;

// Loads a regular file of a sane size. A FIFO, a device or a huge file under a record's name
// is not read; it loads as a file that could not be opened.
tinyxml2::XMLError LoadRegularFile(XMLDocument* doc, const std::string& path) {
    std::string bytes;
    if (!platform::ReadFile(path, bytes, kMaxXmlFileBytes))
        return doc->LoadFile("");  // an empty name never opens: the library's "not found"
    return doc->Parse(bytes.data(), bytes.size());
}

}  // namespace

bool XmlOpenDocument(XMLDocument* doc, bool addDeclaration, const std::string& path) {
    if (!doc) return false;
    if (platform::PathExists(path) && !platform::IsDirectory(path)) {
        doc->Clear();
        if (LoadRegularFile(doc, path) == tinyxml2::XML_SUCCESS)
            return true;
    }
    if (!XmlEnsureFolder(path)) return false;
    if (addDeclaration) XmlAddDeclaration(doc);
    return true;
}

bool XmlDocumentDamaged(const XMLDocument* doc) {
    if (!doc)
        return false;
    if (!doc->Error())
        return XmlHasContentAfterRoot(doc);
    return doc->ErrorID() != tinyxml2::XML_ERROR_EMPTY_DOCUMENT && !XmlDocumentUnreadable(doc);
}

bool XmlDocumentUnreadable(const XMLDocument* doc) {
    if (!doc || !doc->Error()) return false;
    switch (doc->ErrorID()) {
        // The open loads only a file that exists, so "not found" means it could not be opened.
        case tinyxml2::XML_ERROR_FILE_NOT_FOUND:
        case tinyxml2::XML_ERROR_FILE_COULD_NOT_BE_OPENED:
        case tinyxml2::XML_ERROR_FILE_READ_ERROR:
            return true;
        default:
            return false;
    }
}

namespace {

// Text at the top level anywhere, or anything but a comment after the root.
bool IsContentAfterRoot(const XMLNode* node, bool afterRoot) {
    if (node->ToText())
        return true;
    return afterRoot && !node->ToComment();
}

}  // namespace

bool XmlHasContentAfterRoot(const XMLDocument* doc) {
    if (!doc)
        return false;
    bool afterRoot = false;
    for (const XMLNode* n = doc->FirstChild(); n; n = n->NextSibling()) {
        if (IsContentAfterRoot(n, afterRoot))
            return true;
        if (n->ToElement() && n->Value() && std::string(n->Value()) == kXmlRootName)
            afterRoot = true;
    }
    return false;
}

void XmlRemoveContentAfterRoot(XMLDocument* doc) {
    if (!doc)
        return;
    bool afterRoot = false;
    for (XMLNode* n = doc->FirstChild(); n;) {
        XMLNode* next = n->NextSibling();
        if (IsContentAfterRoot(n, afterRoot)) {
            doc->DeleteChild(n);
        } else if (n->ToElement() && n->Value() && std::string(n->Value()) == kXmlRootName) {
            afterRoot = true;
        }
        n = next;
    }
}

std::string XmlPrintDocument(XMLDocument* doc) {
    tinyxml2::XMLPrinter printer(nullptr, false);
    doc->Print(&printer);
    const char* text = printer.CStr();
    const size_t size = printer.CStrSize() > 0 ? static_cast<size_t>(printer.CStrSize() - 1) : 0;
    std::string out;
    out.reserve(size + size / 16);
    for (size_t i = 0; i < size; ++i) {
        // Lines end in CR LF, as a text-mode write produced them in the original files.
        if (text[i] == '\n') out += '\r';
        out += text[i];
    }
    return out;
}

namespace {

// A written file must load again, whole, or it does not replace anything.
bool LoadsAgain(const std::string& bytes) {
    XMLDocument back;
    return back.Parse(bytes.data(), bytes.size()) == tinyxml2::XML_SUCCESS && !XmlHasContentAfterRoot(&back);
}

}  // namespace

bool XmlSaveDocument(XMLDocument* doc, const std::string& path) {
    if (!doc) return false;
    doc->ClearError();
    const std::string bytes = XmlPrintDocument(doc);
    if (doc->Error()) return false;
    return platform::WriteFileAtomic(path, bytes, platform::kPrivateFileMode, LoadsAgain);
}

platform::WriteResult XmlCreateDocument(XMLDocument* doc, const std::string& path, std::string* failedSteps) {
    if (!doc) return platform::WriteResult::Failed;
    doc->ClearError();
    const std::string bytes = XmlPrintDocument(doc);
    if (doc->Error()) return platform::WriteResult::Failed;
    return platform::CreateFileExclusive(path, bytes, platform::kPrivateFileMode, LoadsAgain, failedSteps);
}

bool XmlEnsureFolder(const std::string& path) {
    const std::string folder = platform::ParentFolder(path);
    if (folder.empty()) return false;
    if (!(platform::PathExists(path) && !platform::IsDirectory(path)) && !platform::IsDirectory(folder)) {
        platform::CreateDirectories(folder);
    }
    return platform::IsDirectory(folder);
}

void XmlAddDeclaration(XMLDocument* doc) {
    if (!doc) return;
    doc->InsertEndChild(doc->NewDeclaration("xml version=\"1.0\" encoding=\"UTF-8\""));
}

std::string XmlGetChildText(const XMLElement* parent, const char* name, const std::string& defaultText) {
    if (!parent || !name) return defaultText;
    return XmlGetElementText(parent->FirstChildElement(name), defaultText);
}

std::string XmlGetElementText(const XMLElement* element, const std::string& defaultText) {
    if (!element) return defaultText;
    const XMLNode* first = element->FirstChild();
    if (!first || !first->ToText() || !first->Value()) return defaultText;
    return first->Value();
}

std::string XmlGetAttributeText(const XMLElement* element, const char* name, const std::string& defaultText) {
    if (!element || !name) return defaultText;
    const char* value = element->Attribute(name);
    return value ? std::string(value) : defaultText;
}

int32_t XmlGetSyntax(const XMLElement* element) {
    const std::string text = XmlGetAttributeText(element, "syntax", "");
    if (text.empty()) return 0;
    return platform::ParseInt32(text, 10);
}

void XmlSetText(XMLElement* element, const std::string& text) {
    if (!element) return;
    element->InsertEndChild(element->GetDocument()->NewText(text.c_str()));
}

void XmlSetId(XMLElement* element, const std::string& text) {
    if (!element) return;
    element->SetAttribute("id", text.c_str());
}

void XmlSetSyntax(XMLElement* element, uint32_t syntax) {
    if (!element) return;
    element->SetAttribute("syntax", platform::Format("%u", syntax).c_str());
}

XMLElement* XmlFindRoot(XMLDocument* doc) {
    if (!doc) return nullptr;
    for (XMLNode* n = doc->FirstChild(); n; n = n->NextSibling()) {
        if (n->Value() && std::string(n->Value()) == kXmlRootName) return n->ToElement();
    }
    return nullptr;
}
