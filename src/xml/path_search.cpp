#include "xml/path_search.h"

#include <functional>
#include <unordered_set>

#include "error/error.h"
#include "xml/name_chars.h"
#include "xml/node.h"

namespace Xml {

namespace {

[[noreturn]] void ThrowSyntax(const char* tag) {
    throw Error::Internal(tag, "xml");
}

// One name step with its optional attribute test.
struct Step {
    std::u16string_view element;
    std::u16string_view attribute;  // empty without a test
    bool needs_value = false;
    std::u16string_view value;

    bool Matches(const DomNode& node) const {
        if (node.kind() != kElementKind || node.value() != element) {
            return false;
        }
        if (attribute.empty()) {
            return true;
        }
        const DomNode::Attribute* found = node.FindAttribute(attribute);
        return found && (!needs_value || found->value() == value);
    }
};

// Only ".." or a second "//" can bring the search to the same node at the same
// place of the query twice: with neither, a node's depth fixes the way to it.
bool MayRevisit(std::u16string_view query) {
    size_t first = query.find(u"//");
    return query.find(u"..") != std::u16string_view::npos ||
           (first != std::u16string_view::npos &&
            query.find(u"//", first + 2) != std::u16string_view::npos);
}

// A node together with a place in the query.
struct Visit {
    const DomNode* node;
    size_t position;
    bool operator==(const Visit&) const = default;
};

struct VisitHash {
    size_t operator()(const Visit& visit) const {
        return std::hash<const void*>()(visit.node) ^ (visit.position * 0x9E3779B97F4A7C15ull);
    }
};

// The search as an explicit stack of tasks rather than recursion, so that deep
// trees cannot exhaust the machine stack. Tasks run in the order the recursive
// definition visits them: a match's continuation first, then the search below
// it, then the next sibling.
//
// A way that reaches a node at a place in the query where an earlier way was
// already finds nothing new, only the same nodes again; followed anyway, steps
// such as "//a/..//a/.." would multiply the work and the results with every
// repetition. So each (node, place) is followed once, and every match is
// reported once, where it was first found.
class PathSearch {
public:
    PathSearch(std::u16string_view query, bool first_only, std::vector<DomNode*>& results)
        : query_(query),
          first_only_(first_only),
          remember_visits_(MayRevisit(query)),
          results_(results) {}

    void Run(DomNode& context) {
        Continue(context, 0, true);
        while (!tasks_.empty() && !(first_only_ && !results_.empty())) {
            RunTop();
        }
    }

private:
    // Children tried against `step`, from `next_child` on; with `any_depth`
    // each child's subtree is searched the same way after the child's
    // continuation.
    struct Task {
        bool any_depth;
        DomNode* next_child;
        uint32_t step;  // in steps_
    };

    // Evaluates the query from `position` at `node` up to its next name step,
    // which becomes a task.
    void Continue(DomNode& start, size_t position, bool at_start) {
        if (!at_start && !FirstVisit(continued_, start, position)) {
            return;
        }
        DomNode* node = &start;
        if (at_start && query_.starts_with(u'/')) {
            while (node->parent()) {
                node = node->parent();
            }
            position = 1;
        }
        const Way& way = WayFrom(position);
        for (size_t up = 0; up < way.parents; ++up) {
            node = node->parent();
            if (!node) {
                return;
            }
        }
        if (way.step_at == kNoStep) {
            results_.push_back(node);
            return;
        }
        uint32_t step = StepAt(way.step_at);
        if (!way.any_depth || FirstVisit(searched_, *node, steps_[step].rest)) {
            tasks_.push_back({way.any_depth, node->first_child(), step});
        }
    }

    // What the query does from a place up to its next name step: "." and ".."
    // steps, and the "/" that makes the step any-depth.
    struct Way {
        size_t parents;  // ".." steps
        bool any_depth;
        size_t step_at;  // where the name step starts; kNoStep at the end of the query
    };
    static constexpr size_t kNoStep = std::u16string_view::npos;

    // Every place of the query is read once, however many nodes reach it.
    const Way& WayFrom(size_t position) {
        uint32_t& known = Known(way_at_, position);
        if (known != 0) {
            return ways_[known - 1];
        }
        Way way{0, false, kNoStep};
        for (;;) {
            std::u16string_view rest = query_.substr(position);
            if (rest.empty()) {
                break;
            }
            if (IsDotStep(rest, 1)) {
                position += rest.size() > 1 ? 2 : 1;
            } else if (IsDotStep(rest, 2)) {
                ++way.parents;
                position += rest.size() > 2 ? 3 : 2;
            } else {
                if (rest[0] == u'/') {
                    way.any_depth = true;
                    position += 1;
                }
                way.step_at = position;
                break;
            }
        }
        ways_.push_back(way);
        known = static_cast<uint32_t>(ways_.size());
        return ways_.back();
    }

    // A name step and the place after it and its "/".
    struct ParsedStep {
        Step step;
        size_t rest;
    };

    // The index in steps_ of the step at a place, parsed when evaluation
    // first reaches it: a malformed step that no node gets to is no error.
    uint32_t StepAt(size_t position) {
        uint32_t& known = Known(step_at_, position);
        if (known == 0) {
            ParsedStep parsed;
            parsed.rest = ParseStep(position, parsed.step);
            steps_.push_back(parsed);
            known = static_cast<uint32_t>(steps_.size());
        }
        return known - 1;
    }

    // The entry for a place of the query: 0 while nothing is known there,
    // else one more than the index of what is.
    uint32_t& Known(std::vector<uint32_t>& index, size_t position) {
        if (index.empty()) {
            index.resize(query_.size() + 1);
        }
        return index[position];
    }

    // Whether `node` at `position` is new to `visits`; always with a query
    // that cannot come back to a place.
    bool FirstVisit(std::unordered_set<Visit, VisitHash>& visits, const DomNode& node,
                    size_t position) {
        return !remember_visits_ || visits.insert({&node, position}).second;
    }

    // "." (length 1) or ".." (length 2) followed by "/" or the end.
    static bool IsDotStep(std::u16string_view rest, size_t dots) {
        if (rest.size() < dots || rest.substr(0, dots) != std::u16string_view(u"..", dots)) {
            return false;
        }
        return rest.size() == dots || rest[dots] == u'/';
    }

    void RunTop() {
        Task& top = tasks_.back();
        while (DomNode* child = top.next_child) {
            top.next_child = child->next_sibling();
            if (child->kind() != kElementKind) {
                continue;
            }
            Task copy = top;  // the pushes below may move `top`
            const ParsedStep& parsed = steps_[copy.step];
            size_t rest = parsed.rest;
            bool matches = parsed.step.Matches(*child);
            if (copy.any_depth && FirstVisit(searched_, *child, rest)) {
                tasks_.push_back({true, child->first_child(), copy.step});
            }
            if (matches) {
                Continue(*child, rest, false);
            }
            return;
        }
        tasks_.pop_back();
    }

    // Reads the step at `position` into `step`; returns the position after it
    // and its "/".
    size_t ParseStep(size_t position, Step& step) const {
        size_t at = position;
        if (!IsNameStartChar(CharAt(at))) {
            ThrowSyntax("xml-fnd-sntx-mis-elm");
        }
        step.element = ReadName(at);
        if (CharAt(at) == u'[') {
            ++at;
            if (CharAt(at) != u'@') {
                ThrowSyntax("xml-fnd-sntx-not-sup");
            }
            ++at;
            if (!IsNameStartChar(CharAt(at))) {
                ThrowSyntax("xml-fnd-sntx-mis-prm");
            }
            step.attribute = ReadName(at);
            if (CharAt(at) == u'=') {
                ++at;
                char16_t quote = CharAt(at);
                if (quote != u'\'' && quote != u'"') {
                    ThrowSyntax("xml-fnd-sntx-mis-val");
                }
                ++at;
                size_t close = query_.find(quote, at);
                if (close == std::u16string_view::npos) {
                    ThrowSyntax("xml-fnd-sntx-uncl-val");
                }
                step.needs_value = true;
                step.value = query_.substr(at, close - at);
                at = close + 1;
            }
            if (CharAt(at) != u']') {
                ThrowSyntax("xml-fnd-sntx-mis-val");
            }
            ++at;
        }
        if (at == query_.size()) {
            return at;
        }
        if (query_[at] != u'/') {
            ThrowSyntax("xml-fnd-sntx-mis-slsh");
        }
        return at + 1;
    }

    // The character at `at`, or 0 past the end (a query never holds U+0000).
    char16_t CharAt(size_t at) const { return at < query_.size() ? query_[at] : 0; }

    std::u16string_view ReadName(size_t& at) const {
        size_t start = at++;
        while (IsNameChar(CharAt(at))) {
            ++at;
        }
        return query_.substr(start, at - start);
    }

    std::u16string_view query_;
    bool first_only_;
    bool remember_visits_;
    std::vector<DomNode*>& results_;
    std::vector<Task> tasks_;
    // Continuations begun at (node, query position), and subtrees searched
    // below a node for the step before a query position.
    std::unordered_set<Visit, VisitHash> continued_;
    std::unordered_set<Visit, VisitHash> searched_;
    // What is known of each place of the query.
    std::vector<uint32_t> way_at_;
    std::vector<Way> ways_;
    std::vector<uint32_t> step_at_;
    std::vector<ParsedStep> steps_;
};

}  // namespace

void FindRecords(DomNode& context, std::u16string_view query, bool first_only,
                 std::vector<DomNode*>& results) {
    if (query.find(u"///") != std::u16string_view::npos) {
        ThrowSyntax("xml-fnd-sntx-trpsl");
    }
    PathSearch(query, first_only, results).Run(context);
}

}  // namespace Xml
