#include "launcher/page/page_builder.h"

#include <algorithm>
#include <list>
#include <unordered_set>

#include "base/format.h"
#include "base/platform.h"
#include "launcher/page/replace_all.h"
#include "launcher/page/template_blocks.h"
#include "launcher/page/translate_page.h"

namespace {

// One entry of the page being put together. A slot piece marks a place where
// nested items go; it contributes no text.
struct PagePiece {
    BaseString text;
    bool slot;
};
using PagePieces = std::list<PagePiece>;

// What a rendered item put into the list: a piece for each of its block's own
// segments and, made when its first child of that name comes, a place for the
// children of each nested block: between two slot pieces, so that a place made
// later for an earlier nested block can go before the children already there.
struct RenderedItem {
    const TemplateBlock* block = nullptr;
    std::vector<PagePieces::iterator> own;
    std::map<size_t, std::pair<PagePieces::iterator, PagePieces::iterator>> places;
};

// Where a child of `parent` with that name goes: before the end of the place of
// the first nested segment of that name in the parent's block, which is made on
// first use; the end of the list when the block has none.
PagePieces::iterator PlaceFor(RenderedItem& parent, const BaseString& name,
                              const std::vector<TemplateSegment>& segments,
                              const TemplateBlocks& blocks, PagePieces& pieces) {
    const TemplateBlock& block = *parent.block;
    size_t nested = blocks.FirstNamed(name.view(), block.own.front(), block.end);
    // Only the block's own segments can bear its own name (a block is never
    // nested in its namesake).
    if (nested == block.end || segments[nested].depth <= block.depth) {
        return pieces.end();
    }
    auto place = parent.places.find(nested);
    if (place == parent.places.end()) {
        // Before the next own piece, or before the next place made earlier.
        size_t next_own =
            std::upper_bound(block.own.begin(), block.own.end(), nested) - block.own.begin();
        PagePieces::iterator before =
            next_own < parent.own.size() ? parent.own[next_own] : std::next(parent.own.back());
        auto later = parent.places.upper_bound(nested);
        if (later != parent.places.end() &&
            (next_own == block.own.size() || later->first < block.own[next_own])) {
            before = later->second.first;
        }
        PagePieces::iterator first = pieces.insert(before, {BaseString(), true});
        PagePieces::iterator last = pieces.insert(before, {BaseString(), true});
        place = parent.places.emplace(nested, std::make_pair(first, last)).first;
    }
    return place->second.second;
}

// The names in the text's attribute macros of one element: what stands
// between `prefix` ("%%" and the element's name and ".") and the next "%%".
// The names are views into the text.
std::unordered_set<std::u16string_view> NamedAttributes(const BaseString& text,
                                                        const BaseString& prefix) {
    std::unordered_set<std::u16string_view> names;
    std::u16string_view all = text.view();
    for (size_t at = all.find(prefix.view()); at != std::u16string_view::npos;
         at = all.find(prefix.view(), at + 1)) {
        size_t start = at + prefix.length();
        size_t end = all.find(u"%%", start);
        if (end != std::u16string_view::npos) {
            names.insert(all.substr(start, end - start));
        }
    }
    return names;
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
        BaseString prefix = u"%%" + element_name + u".";
        // Only the attributes the text names can change it: the others are
        // not looked for, so that an element's many attributes do not each
        // cost a pass over the text.
        std::unordered_set<std::u16string_view> named = NamedAttributes(result, prefix);
        for (const BaseString& attribute : element->attributeNames()) {
            if (!named.count(attribute.view())) {
                continue;
            }
            BaseString value = Substitute(element->attribute(attribute), nullptr);
            BaseString macro = Base::Format("%%%%%s.%s%%%%", element_name, attribute);
            result = ReplaceAll(result, macro, value);
            named = NamedAttributes(result, prefix);
        }
    }
    return result;
}

BaseString PageBuilder::RenderPage(const std::vector<PageItem>& items,
                                   const std::vector<TemplateSegment>& segments,
                                   const TranslationMap& translations, VisibilityMap& visibility) {
    item_counter_ = 0;
    PagePieces pieces;
    TemplateBlocks blocks(segments);
    // By item: indexes run from 1 in list order.
    std::vector<RenderedItem> rendered(items.size());
    auto rendered_item = [&](int32_t index) -> RenderedItem* {
        bool listed = index > 0 && static_cast<size_t>(index) <= items.size() &&
                      items[static_cast<size_t>(index) - 1].index == index;
        RenderedItem* found = listed ? &rendered[static_cast<size_t>(index) - 1] : nullptr;
        return found && found->block ? found : nullptr;
    };

    for (const PageItem& item : items) {
        ++item_counter_;
        RenderedItem* parent = rendered_item(item.parent_index);
        PagePieces::iterator insert_at =
            parent ? PlaceFor(*parent, item.name, segments, blocks, pieces) : pieces.end();

        const TemplateBlock& block = blocks.Find(item.name);
        if (block.own.empty()) {
            continue;
        }
        RenderedItem& mine = rendered[static_cast<size_t>(item_counter_) - 1];
        mine.block = &block;
        mine.own.reserve(block.own.size());
        BaseString bound = item.element->attribute(BaseString(u"visibility"), BaseString());
        if (!bound.empty()) {
            BaseString id = Base::Format("vis%d", item_counter_);
            pieces.insert(insert_at, {Base::Format("<div id=\"%s\">", id), false});
            visibility[id] = bound;
        }
        for (size_t segment : block.own) {
            mine.own.push_back(pieces.insert(
                insert_at, {Substitute(segments[segment].text, item.element), false}));
        }
        if (!bound.empty()) {
            pieces.insert(insert_at, {BaseString(u"</div>"), false});
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
