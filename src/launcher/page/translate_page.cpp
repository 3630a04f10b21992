#include "launcher/page/translate_page.h"

#include <algorithm>
#include <list>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "launcher/page/replace_all.h"

namespace {

bool HasUsualForm(const TranslationMap& translations, size_t& longest_id) {
    longest_id = 0;
    for (const auto& [key, text] : translations) {
        std::u16string_view k = key.view();
        if (k.size() < 2 || k.front() != u'#' || k.back() != u'#' ||
            k.substr(1, k.size() - 2).find(u'#') != std::u16string_view::npos ||
            text.Find(u'#') != BaseString::npos) {
            return false;
        }
        longest_id = std::max(longest_id, k.size() - 2);
    }
    return true;
}

// The page as texts between its "#"s. Neighbouring texts are separated by one
// "#"; a text with a neighbour on both sides is a candidate id. Replacing a key
// joins the texts on its two sides with the translated text between them.
class HashSplitPage {
public:
    HashSplitPage(std::u16string_view page, size_t longest_id) : longest_id_(longest_id) {
        size_t start = 0;
        for (;;) {
            size_t hash = page.find(u'#', start);
            Node node;
            node.order = nodes_.size();
            node.pieces.push_back(page.substr(start, hash == std::u16string_view::npos
                                                         ? std::u16string_view::npos
                                                         : hash - start));
            node.length = node.pieces.back().size();
            nodes_.push_back(std::move(node));
            if (hash == std::u16string_view::npos) {
                break;
            }
            start = hash + 1;
        }
        for (size_t i = 0; i < nodes_.size(); ++i) {
            nodes_[i].prev = i == 0 ? kNone : i - 1;
            nodes_[i].next = i + 1 == nodes_.size() ? kNone : i + 1;
            Index(i);
        }
    }

    // Replaces every occurrence of "#id#", leftmost first, as ReplaceAll does.
    void Replace(std::u16string_view id, std::u16string_view text) {
        auto found = candidates_.find(std::u16string(id));
        if (found == candidates_.end()) {
            return;
        }
        std::set<std::pair<size_t, size_t>>& where = found->second;  // (order, node)
        while (!where.empty()) {
            size_t i = where.begin()->second;
            where.erase(where.begin());
            Node& node = nodes_[i];
            if (!node.alive || node.prev == kNone || node.next == kNone ||
                node.length != id.size() || Text(node) != id) {
                continue;  // joined into another text since it was indexed
            }
            Node& left = nodes_[node.prev];
            Node& right = nodes_[node.next];
            left.pieces.push_back(text);
            left.pieces.splice(left.pieces.end(), right.pieces);
            left.length += text.size() + right.length;
            node.alive = right.alive = false;
            left.next = right.next;
            if (right.next != kNone) {
                nodes_[right.next].prev = node.prev;
            }
            Index(node.prev);
        }
    }

    BaseString Join() const {
        std::u16string page;
        for (size_t i = 0; i != kNone; i = nodes_[i].next) {
            if (i != 0) {
                page += u'#';
            }
            for (std::u16string_view piece : nodes_[i].pieces) {
                page += piece;
            }
        }
        return BaseString(page);
    }

private:
    static constexpr size_t kNone = static_cast<size_t>(-1);

    struct Node {
        size_t order = 0;  // position among the texts; a joined text keeps its left part's
        std::list<std::u16string_view> pieces;
        size_t length = 0;
        size_t prev = kNone;
        size_t next = kNone;
        bool alive = true;
    };

    static std::u16string Text(const Node& node) {
        std::u16string text;
        text.reserve(node.length);
        for (std::u16string_view piece : node.pieces) {
            text += piece;
        }
        return text;
    }

    // Texts between two "#"s that are short enough to be an id.
    void Index(size_t i) {
        const Node& node = nodes_[i];
        if (node.prev != kNone && node.next != kNone && node.length <= longest_id_) {
            candidates_[Text(node)].insert({node.order, i});
        }
    }

    size_t longest_id_;
    std::vector<Node> nodes_;
    std::unordered_map<std::u16string, std::set<std::pair<size_t, size_t>>> candidates_;
};

}  // namespace

BaseString TranslatePage(const BaseString& page, const TranslationMap& translations) {
    size_t longest_id;
    if (translations.empty() || !HasUsualForm(translations, longest_id)) {
        BaseString result = page;
        for (const auto& [key, text] : translations) {
            result = ReplaceAll(result, key, text);
        }
        return result;
    }
    HashSplitPage split(page.view(), longest_id);
    for (const auto& [key, text] : translations) {
        split.Replace(key.view().substr(1, key.length() - 2), text.view());
    }
    return split.Join();
}
