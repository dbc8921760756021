// A notice as the dialogs show it: its paragraphs, each in English or Japanese, read from
// the text kept in resources/notices/.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "resources/Notices.h"

struct NoticeParagraph {
    std::string text;
    bool japanese = false;  // set in the Japanese face
    friend bool operator==(const NoticeParagraph&, const NoticeParagraph&) = default;
};

// Paragraphs are separated by blank lines and alternate English and Japanese, English first;
// note lines ("#") are dropped and a paragraph's lines are joined with a blank.
std::vector<NoticeParagraph> SplitNoticeParagraphs(std::string_view text);
std::vector<NoticeParagraph> NoticeParagraphs(resources::Notice notice);
