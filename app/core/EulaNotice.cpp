#include "app/core/EulaNotice.h"

#include "common/AppFolders.h"

std::string EulaCaption() {
    return GetProductName() + "  -  Terms of Use agreement.";
}

std::vector<NoticeParagraph> EulaParagraphs() {
    return NoticeParagraphs(resources::Notice::TermsOfUse);
}

std::string BuildEulaNotice() {
    std::string notice;
    for (const NoticeParagraph& p : EulaParagraphs())
        notice += p.text + "\r\n\r\n";
    return notice;
}
