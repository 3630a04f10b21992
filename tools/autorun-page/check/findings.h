#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/string.h"
#include "xml/node_positions.h"

enum class Severity { kError, kWarning };

// One mistake found in a medium.
struct Finding {
    BaseString file;
    Xml::TextPosition at;
    Severity severity;
    BaseString message;
};

// The findings of a check, reported in the form compilers use, so that editors
// and build tools jump to them: "FILE:LINE:COLUMN: error|warning: message";
// one about a whole file (line 0) names no line: "FILE: warning: message".
class Findings {
public:
    void Add(std::u16string_view file, Xml::TextPosition at, Severity severity, BaseString message);
    void Error(std::u16string_view file, Xml::TextPosition at, BaseString message) {
        Add(file, at, Severity::kError, std::move(message));
    }
    void Warning(std::u16string_view file, Xml::TextPosition at, BaseString message) {
        Add(file, at, Severity::kWarning, std::move(message));
    }

    bool HasError() const;
    // One line each: the template's findings first (the launcher reads it
    // first), then the data file's, then those of the files the page loads;
    // each file's in order of line and column; the same finding once.
    std::string Lines() const;

private:
    std::vector<Finding> findings_;
};

// Where each character of a text stands: line and column from 1, columns in
// UTF-16 units, as the XML reader counts them. A byte-order mark at the start
// takes no column.
class TextLines {
public:
    explicit TextLines(std::u16string_view text);
    Xml::TextPosition At(size_t offset) const;

private:
    std::vector<size_t> line_starts_;
    bool marked_;
};
