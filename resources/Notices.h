// The notices' texts, kept as text files in resources/notices/ and built into the program:
// paragraphs separated by a blank line, alternating English and Japanese; lines beginning
// with "#" are notes for whoever edits them.
#pragma once

#include <string_view>

namespace resources {

enum class Notice {
    TermsOfUse,  // terms-of-use.txt
    PowerCable,  // power-cable.txt
};

// The file's text as it stands, notes included.
std::string_view NoticeText(Notice notice);

}  // namespace resources
