// The OB/GY results page template (resources/html/ResultsTable.html), built into the program.
#pragma once

#include <string_view>

namespace resources {

std::string_view ResultsPageTemplate();

}  // namespace resources
