#include "launcher/page/page_builder.h"

#include <list>

#include "base/format.h"
#include "base/platform.h"
#include "launcher/page/replace_all.h"
#include "launcher/page/translate_page.h"

namespace {

struct PagePiece {
    int32_t owner;
    BaseString text;
    BaseString block_name;
    bool slot;
};

// The segments that render items of one name: from the first segment of that
// name, every segment deeper than it or of the same depth and name, up to the
// first other one. Deeper segments become slots for nested items.
struct Block {
    uint32_t depth = 0;
    std::vector<const TemplateSegment*> segments;
};

Block FindBlock(const std::vector<TemplateSegment>& segments, const BaseString& name) {
    Block block;
    size_t i = 0;
    while (i < segments.size() && segments[i].block_name != name) {
        ++i;
    }
    if (i == segments.size()) {
        return block;
    }
    block.depth = segments[i].depth;
    for (; i < segments.size(); ++i) {
        const TemplateSegment& segment = segments[i];
        if (segment.depth < block.depth ||
            (segment.depth == block.depth && segment.block_name != name)) {
            break;
        }
        block.segments.push_back(&segment);
    }
    return block;
}

}  // namespace

PageBuilder::PageBuilder(uint32_t page_language, const BaseString& executable_path)
    : page_language_(page_language), executable_path_(executable_path) {}

BaseString PageBuilder::BuildPage(const BaseString& template_text,
                                  const Ref<Xml::Document>& document, VisibilityMap& visibility) {
    std::vector<TemplateSegment> segments = ParseTemplate(template_text);
    TranslationMap translations = ReadTranslations(document);
    SetBuiltinMacros();
    std::vector<PageItem> items = ReadItems(document);
    return RenderPage(items, segments, translations, visibility);
}

void PageBuilder::SetBuiltinMacros() {
    const BaseString& path = executable_path_;
    BaseString module(Base::LastComponentOf(path));
    std::u16string_view folder_part = Base::FolderOf(path);
    BaseString folder =
        folder_part.empty() ? path : BaseString(folder_part.substr(0, folder_part.size() - 1));
    BaseString slashed = folder;
    if (slashed.Find(u'\\') != BaseString::npos) {
        char16_t* c = slashed.MutableData();
        for (size_t i = 0; i < slashed.length(); ++i) {
            c[i] = c[i] == u'\\' ? u'/' : c[i];
        }
    }
    builtin_macros_[BaseString(u"%%fullmodule")] = path;
    builtin_macros_[BaseString(u"%%module")] = module;
    builtin_macros_[BaseString(u"%%rdir")] = folder;
    builtin_macros_[BaseString(u"%%dir")] = slashed;
    builtin_macros_[BaseString(u"%%lang")] = Base::Format("%04x", page_language_);
    builtin_macros_[BaseString(u"%%platform")] =
        BaseString(Base::IsSystem64Bit() ? u"64-bit" : u"32-bit");
}

BaseString PageBuilder::Substitute(const BaseString& text, const Ref<Xml::Element>& element) {
    BaseString result = text;
    for (const auto& [name, value] : builtin_macros_) {
        result = ReplaceAll(result, name, value);
    }
    result = ReplaceAll(result, u"%%counter", Base::Format("%d", item_counter_));
    if (element) {
        BaseString element_name = element->value();
        for (const BaseString& attribute : element->attributeNames()) {
            BaseString value = Substitute(element->attribute(attribute), nullptr);
            BaseString macro = Base::Format("%%%%%s.%s%%%%", element_name, attribute);
            result = ReplaceAll(result, macro, value);
        }
    }
    return result;
}

BaseString PageBuilder::RenderPage(const std::vector<PageItem>& items,
                                   const std::vector<TemplateSegment>& segments,
                                   const TranslationMap& translations, VisibilityMap& visibility) {
    item_counter_ = 0;
    std::list<PagePiece> pieces;
    // The first slot of each (owner, block name): where that owner's children go.
    std::map<std::pair<int32_t, BaseString>, std::list<PagePiece>::iterator> slots;
    std::map<BaseString, Block> blocks;

    for (const PageItem& item : items) {
        ++item_counter_;
        auto slot = slots.find({item.parent_index, item.name});
        auto insert_at = slot == slots.end() ? pieces.end() : slot->second;

        auto known = blocks.find(item.name);
        if (known == blocks.end()) {
            known = blocks.emplace(item.name, FindBlock(segments, item.name)).first;
        }
        const Block& block = known->second;
        if (block.segments.empty()) {
            continue;
        }
        BaseString bound = item.element->attribute(BaseString(u"visibility"), BaseString());
        if (!bound.empty()) {
            BaseString id = Base::Format("vis%d", item_counter_);
            pieces.insert(insert_at,
                          {item.index, Base::Format("<div id=\"%s\">", id), BaseString(), false});
            visibility[id] = bound;
        }
        for (const TemplateSegment* segment : block.segments) {
            if (segment->depth == block.depth) {
                pieces.insert(insert_at, {item.index, Substitute(segment->text, item.element),
                                          segment->block_name, false});
            } else {
                auto placed =
                    pieces.insert(insert_at, {item.index, BaseString(), segment->block_name, true});
                slots.try_emplace({item.index, segment->block_name}, placed);
            }
        }
        if (!bound.empty()) {
            pieces.insert(insert_at, {item.index, BaseString(u"</div>"), BaseString(), false});
        }
    }

    BaseString page = Substitute(segments.front().text, nullptr);
    for (const PagePiece& piece : pieces) {
        if (!piece.slot) {
            page += piece.text;
        }
    }
    if (segments.size() >= 2) {
        page += Substitute(segments.back().text, nullptr);
    }
    return TranslatePage(page, translations);
}
