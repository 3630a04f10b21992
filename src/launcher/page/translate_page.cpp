#include "launcher/page/translate_page.h"

#include <algorithm>
#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

#include "launcher/page/replace_all.h"

namespace {

// A key of the usual form: "#", an id without "#", "#".
bool IsUsualKey(std::u16string_view key) {
    return key.size() >= 2 && key.front() == u'#' && key.back() == u'#' &&
           key.substr(1, key.size() - 2).find(u'#') == std::u16string_view::npos;
}

std::vector<std::u16string_view> SplitAtHashes(std::u16string_view text) {
    std::vector<std::u16string_view> parts;
    for (size_t start = 0;;) {
        size_t hash = text.find(u'#', start);
        parts.push_back(
            text.substr(start, hash == std::u16string_view::npos ? hash : hash - start));
        if (hash == std::u16string_view::npos) {
            return parts;
        }
        start = hash + 1;
    }
}

// The page as texts between its "#"s. Neighbouring texts are separated by one
// "#"; a text with a neighbour on both sides is a candidate id. Replacing a key
// puts the translated text between the texts on its two sides: joined with
// them, or, when the translated text has "#"s of its own, cut at them.
class HashSplitPage {
public:
    HashSplitPage(std::u16string_view page, size_t longest_id) : longest_id_(longest_id) {
        std::vector<std::u16string_view> texts = SplitAtHashes(page);
        uint64_t step = kTagLimit / (texts.size() + 1);
        for (size_t i = 0; i < texts.size(); ++i) {
            Node node;
            node.pieces.push_back(texts[i]);
            node.length = texts[i].size();
            node.prev = i == 0 ? kNone : i - 1;
            node.next = i + 1 == texts.size() ? kNone : i + 1;
            node.tag = (i + 1) * step;
            nodes_.push_back(std::move(node));
        }
        length_ = page.size();
        for (size_t i = 0; i < nodes_.size(); ++i) {
            Index(i);
        }
    }

    // Replaces every occurrence of "#id#" as ReplaceAll does: leftmost first,
    // searching again in and just before what a replacement put in, except in
    // a text that holds the key itself or once the budget of such searches is
    // spent.
    void Replace(std::u16string_view id, std::u16string_view text) {
        auto indexed = candidates_.find(std::u16string(id));
        if (indexed == candidates_.end()) {
            return;
        }
        std::vector<size_t> starts = std::move(indexed->second);
        candidates_.erase(indexed);
        std::sort(starts.begin(), starts.end(),
                  [&](size_t a, size_t b) { return nodes_[a].tag < nodes_[b].tag; });

        ++key_serial_;
        std::vector<std::u16string_view> parts = SplitAtHashes(text);
        std::u16string key(1, u'#');
        key.append(id).push_back(u'#');
        bool holds_key = text.find(key) != std::u16string_view::npos;
        size_t budget = 4096 + 16 * length_;
        // Texts changed by replacements, leftmost last; they lie before the
        // next of `starts`.
        std::vector<size_t> changed_texts;
        size_t next_start = 0;
        for (;;) {
            size_t at;
            if (!changed_texts.empty()) {
                at = changed_texts.back();
                changed_texts.pop_back();
            } else if (next_start < starts.size()) {
                at = starts[next_start++];
            } else {
                break;
            }
            if (!Matches(at, id)) {
                continue;
            }
            bool search_again = !holds_key;
            if (generation_ != 0 && nodes_[at].generation == generation_) {
                // It reaches into what the last replacement put in.
                search_again = search_again && budget > 0;
                budget -= budget > 0;
            }
            std::vector<size_t> changed = Put(at, id, parts, text.size());
            for (size_t node : changed) {
                if (search_again) {
                    nodes_[node].generation = generation_;
                } else {
                    // The search goes on after the text put in.
                    nodes_[node].blocked_key = key_serial_;
                    nodes_[node].blocked_generation = nodes_[node].generation;
                }
            }
            if (search_again) {
                changed_texts.insert(changed_texts.end(), changed.rbegin(), changed.rend());
            }
        }
    }

    BaseString Join() const {
        std::u16string page;
        page.reserve(length_);
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
    // Texts keep their order in numbers below this, spread out again where a
    // new text finds no room (order maintenance by relabelling).
    static constexpr uint64_t kTagLimit = uint64_t{1} << 62;

    struct Node {
        std::list<std::u16string_view> pieces;
        size_t length = 0;
        size_t prev = kNone;
        size_t next = kNone;
        bool alive = true;
        uint64_t tag = 0;
        uint64_t generation = 0;          // of the replacement that last changed it
        uint64_t blocked_key = 0;         // not searched again for this key ...
        uint64_t blocked_generation = 0;  // ... unless it changed since
    };

    std::u16string Text(size_t i) const {
        std::u16string text;
        text.reserve(nodes_[i].length);
        for (std::u16string_view piece : nodes_[i].pieces) {
            text += piece;
        }
        return text;
    }

    // Texts between two "#"s that are short enough to be an id.
    void Index(size_t i) {
        const Node& node = nodes_[i];
        if (node.prev != kNone && node.next != kNone && node.length <= longest_id_) {
            candidates_[Text(i)].push_back(i);
        }
    }

    bool Matches(size_t i, std::u16string_view id) const {
        const Node& node = nodes_[i];
        bool blocked =
            node.blocked_key == key_serial_ && node.blocked_generation == node.generation;
        return node.alive && !blocked && node.prev != kNone && node.next != kNone &&
               node.length == id.size() && Text(i) == id;
    }

    // Puts the text (cut at its "#"s into `parts`) in place of the key around
    // text `at`; the texts changed, in order.
    std::vector<size_t> Put(size_t at, std::u16string_view id,
                            const std::vector<std::u16string_view>& parts, size_t text_length) {
        ++generation_;
        length_ = length_ + text_length - (id.size() + 2);
        Node& replaced = nodes_[at];
        replaced.alive = false;
        size_t left = replaced.prev;
        size_t right = replaced.next;
        nodes_[left].next = right;
        nodes_[right].prev = left;
        Append(left, parts.front());
        std::vector<size_t> changed{left};
        if (parts.size() == 1) {
            // Joined with both neighbours.
            Node& gone = nodes_[right];
            nodes_[left].pieces.splice(nodes_[left].pieces.end(), gone.pieces);
            nodes_[left].length += gone.length;
            gone.alive = false;
            nodes_[left].next = gone.next;
            if (gone.next != kNone) {
                nodes_[gone.next].prev = left;
            }
        } else {
            size_t before = left;
            for (size_t j = 1; j + 1 < parts.size(); ++j) {
                before = InsertAfter(before, parts[j]);
                changed.push_back(before);
            }
            nodes_[right].pieces.push_front(parts.back());
            nodes_[right].length += parts.back().size();
            changed.push_back(right);
        }
        for (size_t node : changed) {
            Index(node);
        }
        return changed;
    }

    void Append(size_t i, std::u16string_view text) {
        nodes_[i].pieces.push_back(text);
        nodes_[i].length += text.size();
    }

    size_t InsertAfter(size_t before, std::u16string_view text) {
        uint64_t tag = TagAfter(before);
        size_t added = nodes_.size();
        Node node;
        node.pieces.push_back(text);
        node.length = text.size();
        node.prev = before;
        node.next = nodes_[before].next;
        node.tag = tag;
        nodes_.push_back(std::move(node));
        nodes_[nodes_[added].next].prev = added;
        nodes_[before].next = added;
        return added;
    }

    // A tag between the text's and its successor's, spreading the tags of a
    // stretch around it first when they leave no room: the smallest aligned
    // range of tags around it that is sparse enough is filled evenly.
    uint64_t TagAfter(size_t before) {
        for (int bits = 1;; ++bits) {
            uint64_t low = nodes_[before].tag;
            uint64_t high = NextTag(before);
            if (high - low >= 2) {
                return low + (high - low) / 2;
            }
            uint64_t size = uint64_t{1} << bits;
            uint64_t range = low & ~(size - 1);
            size_t first = before;
            while (nodes_[first].prev != kNone && nodes_[nodes_[first].prev].tag >= range) {
                first = nodes_[first].prev;
            }
            size_t count = 0;
            for (size_t i = first; i != kNone && nodes_[i].tag < range + size; i = nodes_[i].next) {
                ++count;
            }
            // Room for one more, at a density that falls as ranges grow.
            double allowed = 1;
            for (int i = 0; i < bits; ++i) {
                allowed *= 4.0 / 3.0;
            }
            if (static_cast<double>(count + 1) > std::min(allowed, static_cast<double>(size / 2)) ||
                range + size > kTagLimit) {
                continue;
            }
            uint64_t gap = size / (count + 1);
            size_t i = first;
            for (size_t n = 0; n < count; ++n, i = nodes_[i].next) {
                nodes_[i].tag = range + n * gap;
            }
        }
    }

    uint64_t NextTag(size_t i) const {
        return nodes_[i].next == kNone ? kTagLimit : nodes_[nodes_[i].next].tag;
    }

    size_t longest_id_;
    std::vector<Node> nodes_;
    std::unordered_map<std::u16string, std::vector<size_t>> candidates_;
    size_t length_ = 0;
    uint64_t generation_ = 0;
    uint64_t key_serial_ = 0;
};

}  // namespace

BaseString TranslatePage(const BaseString& page, const TranslationMap& translations) {
    // Cutting the page costs about as much as this many passes over it.
    constexpr size_t kKeysWorthACut = 8;
    BaseString result = page;
    for (auto key = translations.begin(); key != translations.end();) {
        auto run_end = key;
        size_t run_length = 0;
        size_t longest_id = 0;
        for (; run_end != translations.end() && IsUsualKey(run_end->first.view()); ++run_end) {
            longest_id = std::max(longest_id, run_end->first.length() - 2);
            ++run_length;
        }
        if (run_length <= kKeysWorthACut) {
            run_end = run_length == 0 ? std::next(key) : run_end;
            for (; key != run_end; ++key) {
                result = ReplaceAll(result, key->first, key->second);
            }
            continue;
        }
        // A run of usual keys: one cut of the page serves them all.
        HashSplitPage split(result.view(), longest_id);
        for (; key != run_end; ++key) {
            split.Replace(key->first.view().substr(1, key->first.length() - 2), key->second.view());
        }
        result = split.Join();
    }
    return result;
}
