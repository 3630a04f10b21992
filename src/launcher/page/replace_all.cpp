#include "launcher/page/replace_all.h"

#include <algorithm>
#include <string>

namespace {

// The text still to be searched. Replacements push text back in front of it,
// so it keeps room before its start.
class PendingText {
public:
    explicit PendingText(std::u16string_view text) : buffer_(text), start_(0) {}

    std::u16string_view view() const { return std::u16string_view(buffer_).substr(start_); }
    void Consume(size_t count) { start_ += count; }

    void Prepend(std::u16string_view text) {
        if (text.size() > start_) {
            size_t room = std::max(text.size(), buffer_.size() - start_);
            buffer_.insert(0, room, u'\0');
            start_ += room;
        }
        start_ -= text.size();
        std::copy(text.begin(), text.end(), buffer_.begin() + start_);
    }

private:
    std::u16string buffer_;
    size_t start_;
};

}  // namespace

BaseString ReplaceAll(const BaseString& text, std::u16string_view key, std::u16string_view value) {
    size_t first = key.empty() ? BaseString::npos : text.Find(key);
    if (first == BaseString::npos) {
        return text;
    }
    const bool value_holds_key = value.find(key) != std::u16string_view::npos;
    // Matches that reach back into inserted text; beyond this many, inserted
    // values are no longer searched again (see the header).
    size_t rematches_left = 4096 + 16 * text.length();

    std::u16string done(text.view().substr(0, first));
    PendingText pending(text.view().substr(first));
    // The front of the pending text that a replacement pushed back: a match
    // starting there reaches into inserted text.
    size_t pushed_back = 0;
    for (;;) {
        std::u16string_view rest = pending.view();
        size_t found = rest.find(key);
        if (found == std::u16string_view::npos) {
            done.append(rest);
            break;
        }
        bool search_value_again = !value_holds_key;
        if (found < pushed_back) {
            search_value_again = search_value_again && rematches_left > 0;
            rematches_left -= rematches_left > 0;
        }
        done.append(rest.substr(0, found));
        pending.Consume(found + key.size());
        if (!search_value_again) {
            done.append(value);
            pushed_back = 0;
            continue;
        }
        // The next match may start up to len(key) - 1 characters before the value.
        size_t back = std::min(key.size() - 1, done.size());
        pending.Prepend(value);
        pending.Prepend(std::u16string_view(done).substr(done.size() - back));
        done.resize(done.size() - back);
        pushed_back = back + value.size();
    }
    return BaseString(done);
}
