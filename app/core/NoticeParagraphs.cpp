#include "app/core/NoticeParagraphs.h"

std::vector<NoticeParagraph> SplitNoticeParagraphs(std::string_view text) {
    std::vector<NoticeParagraph> paragraphs;
    std::string current;
    auto finish = [&] {
        if (current.empty())
            return;
        paragraphs.push_back({current, paragraphs.size() % 2 == 1});
        current.clear();
    };
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty() && line.front() == '#')
            continue;
        if (line.find_first_not_of(' ') == std::string_view::npos) {
            finish();
            continue;
        }
        if (!current.empty())
            current += ' ';
        current += line;
    }
    finish();
    return paragraphs;
}

std::vector<NoticeParagraph> NoticeParagraphs(resources::Notice notice) {
    return SplitNoticeParagraphs(resources::NoticeText(notice));
}
