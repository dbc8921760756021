#include "common/XmlRecordUtil.h"

#include <cctype>
#include <limits>

#include "common/XmlFile.h"
#include "platform/FileSystem.h"

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

XMLElement* XmlBeginRecord(XMLDocument& doc, const char* element, const std::string* id, uint32_t syntax) {
    doc.Clear();
    XmlAddDeclaration(&doc);
    XMLElement* root = doc.NewElement(kXmlRootName);
    doc.InsertEndChild(root);
    XMLElement* record = doc.NewElement(element);
    root->InsertEndChild(record);
    if (id)
        XmlSetId(record, *id);
    XmlSetSyntax(record, syntax);
    return record;
}

void XmlAppendTextChild(XMLElement* parent, const char* name, const std::string& text) {
    XMLElement* child = parent->GetDocument()->NewElement(name);
    parent->InsertEndChild(child);
    XmlSetText(child, text);
}

const XMLElement* XmlOpenRecord(XMLDocument& doc, const std::string& path, const char* element) {
    if (!platform::PathExists(path) || platform::IsDirectory(path))
        return nullptr;
    if (!XmlOpenDocument(&doc, false, path))
        return nullptr;
    const XMLElement* root = XmlFindRoot(&doc);
    return root ? root->FirstChildElement(element) : nullptr;
}

uint64_t ParseUInt64(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            return 0;
        ++i;
    }
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    uint64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const auto digit = static_cast<uint64_t>(text[i] - '0');
        if (value > (kMax - digit) / 10)
            return kMax;
        value = value * 10 + digit;
    }
    return value;
}
