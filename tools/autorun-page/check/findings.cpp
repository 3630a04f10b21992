#include "check/findings.h"

#include <algorithm>
#include <set>
#include <tuple>

#include "launcher/page/start_page.h"

void Findings::Add(std::u16string_view file, Xml::TextPosition at, Severity severity,
                   BaseString message) {
    // One line each: the lines of an error of several (a context line above
    // the system's text) are joined.
    BaseString line;
    for (char16_t c : message.view()) {
        bool breaks = c == u'\n' || c == u'\r';
        if (!breaks) {
            line += c;
        } else if (!line.empty() && line.view().back() != u' ') {
            line += u' ';
        }
    }
    while (line.view().ends_with(u' ')) {
        line = line.Substr(0, line.length() - 1);
    }
    findings_.push_back({BaseString(file), at, severity, std::move(line)});
}

bool Findings::HasError() const {
    return std::any_of(findings_.begin(), findings_.end(),
                       [](const Finding& finding) { return finding.severity == Severity::kError; });
}

std::string Findings::Lines() const {
    // The template, the data file, then the files the page loads by name.
    auto file_rank = [](const BaseString& file) {
        return file == kTemplateFileName ? 0 : file == kDataFileName ? 1 : 2;
    };
    auto key = [&](const Finding& finding) {
        return std::make_tuple(file_rank(finding.file), finding.file, finding.at.line,
                               finding.at.column);
    };
    std::vector<Finding> sorted = findings_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const Finding& a, const Finding& b) { return key(a) < key(b); });
    std::string lines;
    std::set<std::string> seen;
    for (const Finding& finding : sorted) {
        std::string line = finding.file.ToUtf8() + ":";
        if (finding.at.line > 0) {
            line += std::to_string(finding.at.line) + ":" + std::to_string(finding.at.column) + ":";
        }
        line += std::string(" ") + (finding.severity == Severity::kError ? "error" : "warning") +
                ": " + finding.message.ToUtf8() + "\n";
        if (seen.insert(line).second) {
            lines += line;
        }
    }
    return lines;
}

TextLines::TextLines(std::u16string_view text) : marked_(!text.empty() && text[0] == u'\uFEFF') {
    line_starts_.push_back(0);
    for (size_t i = text.find(u'\n'); i != std::u16string_view::npos; i = text.find(u'\n', i + 1)) {
        line_starts_.push_back(i + 1);
    }
}

Xml::TextPosition TextLines::At(size_t offset) const {
    size_t line =
        std::upper_bound(line_starts_.begin(), line_starts_.end(), offset) - line_starts_.begin();
    size_t column = offset - line_starts_[line - 1] + 1;
    if (line == 1 && marked_ && column > 1) {
        --column;
    }
    return {static_cast<int32_t>(line), static_cast<int32_t>(column)};
}
