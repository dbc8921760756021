// What the About box shows: its caption, the program's title and version, the connected
// probe's identity and a fixed two-line text.
#pragma once

#include <string>

struct AboutContent {
    std::string caption;   // "Version Information" + " " + the product's name
    std::string title;     // static 1109: GetAppTitle
    std::string hardware;  // static 1110: GetHardwareIdLine
    std::string fixedText;
};

// Read when the box opens, so the hardware line names the probe connected now.
AboutContent MakeAboutContent();
