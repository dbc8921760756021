#include "archive/TextTemplate.h"

std::string FillTextTemplate(const std::string& textTemplate, std::initializer_list<std::string> values) {
    std::string out;
    auto next = values.begin();
    for (size_t i = 0; i < textTemplate.size(); ++i) {
        if (textTemplate[i] == '%' && i + 1 < textTemplate.size()) {
            if (textTemplate[i + 1] == 's') {
                if (next != values.end())
                    out += *next++;
                ++i;
                continue;
            }
            if (textTemplate[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += textTemplate[i];
    }
    return out;
}
