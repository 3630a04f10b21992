#include "launcher/page/template_parser.h"

#include <string_view>
#include <unordered_map>

#include "error/error.h"
#include "launcher/texts.h"

namespace {

// Marked, so the start-up failure message shows it below its context line.
[[noreturn]] void ThrowSyntaxError() {
    throw Error(0, BaseString(LocalizedText(TemplateSyntaxText)), true);
}

class TemplateParser {
public:
    TemplateParser(const BaseString& text, std::vector<TemplateProblem>* problems)
        : all_(text.view()), problems_(problems) {}

    std::vector<TemplateSegment> Run() {
        size_t scan = 0;
        while (scan < all_.size()) {
            size_t tag_start = all_.find(u'<', scan);
            if (tag_start == std::u16string_view::npos) {
                break;
            }
            bool opening = all_.substr(tag_start + 1, 1) == u"%";
            if (!opening && all_.substr(tag_start + 1, 2) != u"/%") {
                scan = tag_start + 1;
                continue;
            }
            size_t name_start = tag_start + (opening ? 2 : 3);
            size_t name_end = all_.find(u"%>", name_start);
            if (name_end == std::u16string_view::npos) {
                Problem({TemplateProblem::Kind::kTagNotEnded, tag_start, !opening, {}, {}});
                break;  // no tag can end after this one either
            }
            std::u16string_view name = all_.substr(name_start, name_end - name_start);
            size_t tag_end = name_end + 2;
            if (opening) {
                Open(name, tag_start, tag_end);
            } else {
                Close(name, tag_start, tag_end);
            }
            scan = tag_end;
        }
        // Going on: the blocks still open end with the text.
        while (!open_.empty()) {
            Problem({TemplateProblem::Kind::kBlockNotClosed,
                     open_.back().tag,
                     false,
                     open_.back().name,
                     {}});
            Pop(all_.size());
            if (!open_.empty()) {
                open_.back().text_start = all_.size();
            }
            resume_ = all_.size();
        }
        segments_.push_back({0, BaseString(), Slice(resume_, all_.size()), resume_, 0});
        return std::move(segments_);
    }

private:
    struct OpenBlock {
        BaseString name;
        size_t tag;          // where its opening tag starts
        size_t text_start;   // where its current text starts
        size_t* open_count;  // of its name
    };

    BaseString Slice(size_t from, size_t to) const {
        return BaseString(all_.substr(from, to - from));
    }

    void Problem(TemplateProblem problem) {
        if (!problems_) {
            ThrowSyntaxError();
        }
        problems_->push_back(std::move(problem));
    }

    // The innermost open block's text up to `end`.
    void EndText(size_t end) {
        const OpenBlock& block = open_.back();
        segments_.push_back({static_cast<uint32_t>(open_.size()), block.name,
                             Slice(block.text_start, end), block.text_start, block.tag});
    }

    void Open(std::u16string_view name, size_t tag_start, size_t tag_end) {
        if (segments_.empty()) {
            segments_.push_back({0, BaseString(), Slice(0, tag_start), 0, 0});
        }
        if (!open_.empty()) {
            EndText(tag_start);
        }
        // A block inside a block of its own name could never render usefully.
        size_t& open_count = open_names_[name];
        if (open_count++ > 0) {
            Problem(
                {TemplateProblem::Kind::kNestedInNamesake, tag_start, false, BaseString(name), {}});
        }
        open_.push_back({BaseString(name), tag_start, tag_end, &open_count});
    }

    void Close(std::u16string_view name, size_t tag_start, size_t tag_end) {
        if (open_.empty()) {
            Problem({TemplateProblem::Kind::kNoBlockOpen, tag_start, true, BaseString(name), {}});
            return;
        }
        if (open_.back().name != name) {
            Problem({TemplateProblem::Kind::kWrongBlockClosed, tag_start, true, BaseString(name),
                     open_.back().name});
            // Going on: the tag closes the blocks inside the one it names, if
            // that one is open; otherwise it is left out.
            auto named = open_names_.find(name);
            if (named == open_names_.end() || named->second == 0) {
                return;
            }
            while (open_.back().name != name) {
                Pop(tag_start);
            }
        }
        Pop(tag_start);
        if (!open_.empty()) {
            open_.back().text_start = tag_end;  // its text resumes after the nested block
        }
        resume_ = tag_end;
    }

    void Pop(size_t tag_start) {
        EndText(tag_start);
        --*open_.back().open_count;
        open_.pop_back();
    }

    std::u16string_view all_;
    std::vector<TemplateProblem>* problems_;
    std::vector<TemplateSegment> segments_;
    std::vector<OpenBlock> open_;
    // How many open blocks bear each name (views into the text). Its entries
    // stay where they are, so an open block keeps a pointer to its own.
    std::unordered_map<std::u16string_view, size_t> open_names_;
    size_t resume_ = 0;  // where the text after the last closing tag starts
};

}  // namespace

std::vector<TemplateSegment> ParseTemplate(const BaseString& text) {
    return TemplateParser(text, nullptr).Run();
}

std::vector<TemplateSegment> ParseTemplate(const BaseString& text,
                                           std::vector<TemplateProblem>& problems) {
    return TemplateParser(text, &problems).Run();
}
