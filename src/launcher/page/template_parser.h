#pragma once

#include <cstdint>
#include <vector>

#include "base/string.h"

// One run of template text: the text outside every block has depth 0 and no
// name; a block's own text has the depth of the block (1 at the top level).
struct TemplateSegment {
    uint32_t depth;
    BaseString block_name;
    BaseString text;
};

// Cuts a template into segments. Blocks are "<%name%>" ... "</%name%>" and
// nest; a block's text is cut where a nested block stands. The first segment is
// the text before the first tag, the last one the text after the last closing
// tag; text between top-level blocks belongs to no segment. A malformed template
// (a tag without "%>", a closing tag that does not close the innermost open
// block, a block left open, a block inside a block of the same name) throws the
// localized template syntax error.
std::vector<TemplateSegment> ParseTemplate(const BaseString& text);
