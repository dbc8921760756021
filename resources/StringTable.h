// The program's user-visible texts, keyed by their string ids. UTF-8.
#pragma once

#include <string>

namespace resources {

// The text of a string id; an empty text for an id the table does not hold.
const std::string& LoadString(int id);
bool HasString(int id);

}  // namespace resources
