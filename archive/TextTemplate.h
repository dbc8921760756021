// Filling the "%s" places of a text of the string table with values that may themselves hold
// '%' (a patient named "50%" must not be read as a format).
#pragma once

#include <initializer_list>
#include <string>

// Replaces each "%s" of the template, in order, with the next value ("%%" gives '%'). A place
// without a value stays empty.
std::string FillTextTemplate(const std::string& textTemplate, std::initializer_list<std::string> values);
