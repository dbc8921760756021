// The terms-of-use notice shown at every start: its caption, text, buttons and results.
// Anything but accepting ends the program.
#pragma once

#include <string>
#include <vector>

#include "app/core/NoticeParagraphs.h"

enum EulaResult : int {
    kEulaAccepted = 1,  // the accept button
    kEulaRefused = 2,   // the refuse button (the default), Esc, Enter in the text, the close box
};

inline constexpr const char* kEulaAcceptCaption = "I proclaim (宣言する)";
inline constexpr const char* kEulaRefuseCaption = "exit (終了)";

// The product's name + "  -  Terms of Use agreement.".
std::string EulaCaption();
// The six paragraphs in the order shown: pledge, approval, use; each in English then Japanese.
std::vector<NoticeParagraph> EulaParagraphs();
// The paragraphs joined, each ending with "\r\n\r\n".
std::string BuildEulaNotice();
