// The program's version text and window title.
#pragma once

#include <cstdint>
#include <string>

// "%d.%d.%d" when the fourth number is 0, else "%d.%d.%d_beta%02d".
std::string FormatFileVersion(int major, int minor, int third, int fourth);
// The program's own version (the build's project version, 1.4.2.0): "1.4.2".
std::string GetFileVersionString();
// "%s Ver%s" of the product's display name and the version: "Helvo Viewer CL Ver1.4.2".
std::string GetAppTitle();
