#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/string.h"

// One run of template text: the text outside every block has depth 0 and no
// name; a block's own text has the depth of the block (1 at the top level).
struct TemplateSegment {
    uint32_t depth;
    BaseString block_name;
    BaseString text;
    size_t start;      // where the text starts in the template
    size_t block_tag;  // where the opening tag of its block starts (0 at depth 0)
};

// A mistake in a template: the launcher stops at the first one, the page
// tool's check reports them all.
struct TemplateProblem {
    enum class Kind {
        kTagNotEnded,       // "<%" or "</%" with no "%>" after it
        kNoBlockOpen,       // a closing tag when no block is open
        kWrongBlockClosed,  // a closing tag that is not the innermost open block's
        kBlockNotClosed,    // a block still open at the end of the text
        kNestedInNamesake,  // a block inside a block of the same name
    };
    Kind kind;
    size_t at;         // where the offending tag starts
    bool closing_tag;  // the tag is "</%...", not "<%..."
    BaseString name;   // the tag's block name (empty for kTagNotEnded)
    BaseString open;   // kWrongBlockClosed: the innermost open block
};

// Cuts a template into segments. Blocks are "<%name%>" ... "</%name%>" and
// nest; a block's text is cut where a nested block stands. The first segment is
// the text before the first tag, the last one the text after the last closing
// tag; text between top-level blocks belongs to no segment. A malformed template
// (a tag without "%>", a closing tag that does not close the innermost open
// block, a block left open, a block inside a block of the same name) throws the
// localized template syntax error.
//
// One pass over the text: each "<" is looked at once, and the open blocks'
// names are counted, so the time grows with the text whatever the nesting.
std::vector<TemplateSegment> ParseTemplate(const BaseString& text);

// The same, but every mistake is added to `problems` and the parse goes on: a
// stray closing tag is skipped, one that names an outer open block closes the
// blocks inside it too, a block inside its namesake is taken as written, the
// text after a tag without "%>" is plain text, and blocks still open end with
// the text.
std::vector<TemplateSegment> ParseTemplate(const BaseString& text,
                                           std::vector<TemplateProblem>& problems);
