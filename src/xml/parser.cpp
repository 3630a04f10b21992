#include "xml/parser.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

#include "base/memory.h"
#include "base/utf.h"
#include "error/error.h"
#include "io/text/decoder.h"
#include "io/text/encoding_name.h"
#include "xml/name_chars.h"
#include "xml/name_table.h"
#include "xml/node.h"
#include "xml/text_scan.h"

namespace Xml {

namespace {

struct NamedEntity {
    std::u16string_view name;
    char16_t character;
};

constexpr NamedEntity kNamedEntities[] = {
    {u"amp", u'&'}, {u"apos", u'\''}, {u"gt", u'>'}, {u"lt", u'<'}, {u"quot", u'"'},
};

constexpr std::u16string_view kDeclarationAttributes[] = {u"version", u"encoding", u"standalone"};

int DigitValue(char16_t c, bool hex) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (hex && c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (hex && c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

// Text put together while parsing, wiped whenever its storage goes.
class ScratchText {
public:
    ScratchText() = default;
    ScratchText(const ScratchText&) = delete;
    ScratchText& operator=(const ScratchText&) = delete;
    ~ScratchText() { Base::FreeStorage(data_, capacity_ * sizeof(char16_t)); }

    bool empty() const { return length_ == 0; }
    std::u16string_view view() const { return {data_, length_}; }

    void Append(const char16_t* text, size_t length) {
        if (length == 0) {
            return;
        }
        Reserve(length_ + length);
        std::memcpy(data_ + length_, text, length * sizeof(char16_t));
        length_ += length;
    }
    void Append(char16_t c) { Append(&c, 1); }
    // Without memcpy's call: references add their characters one by one.
    void AppendCodePoint(char32_t code_point) {
        Reserve(length_ + 2);
        length_ = static_cast<size_t>(Base::PutCodePoint(code_point, data_ + length_) - data_);
    }
    void Truncate(size_t length) { length_ = std::min(length, length_); }
    void Clear() { length_ = 0; }

private:
    void Reserve(size_t capacity) {
        if (capacity <= capacity_) {
            return;
        }
        capacity = std::max<size_t>({capacity, capacity_ * 2, 64});
        auto* grown = static_cast<char16_t*>(Base::AllocateStorage(capacity * sizeof(char16_t)));
        if (length_ != 0) {
            std::memcpy(grown, data_, length_ * sizeof(char16_t));
        }
        Base::FreeStorage(data_, capacity_ * sizeof(char16_t));
        data_ = grown;
        capacity_ = capacity;
    }

    char16_t* data_ = nullptr;
    size_t length_ = 0;
    size_t capacity_ = 0;
};

// One parse: the cursor over the text's chunks, the stack of open nodes and the
// names met so far.
//
// The cursor keeps `p_` inside the current chunk; the character there is 0
// only at the end of the input, because reaching the end of a chunk reads the
// next one at once. Lines and columns are not counted as the cursor moves: the
// line feeds before the cursor are counted only when a chunk is left and when
// an error needs its position.
//
// Texts (character data, attribute values, comments) of a text given whole
// stay where they lie when they hold no reference: the tree's arena then keeps
// the text, which its caller holds anyway. Texts of a source, whose chunks are
// mostly markup, are copied into the arena and the chunks let go. Texts that
// hold references or run over chunks gather in `spill_` and are copied too.
//
// With kNotePositions, the start of every node goes to a table for the caller;
// the launcher's parse is the other instance, which has none of that code.
template <bool kNotePositions>
class Parser {
public:
    Parser(DomNode& document, Io::Text::Source* source, BaseString text, NodePositions* positions)
        : source_(source),
          decoder_(SoftCast<Io::Text::Decoder>(Ref<Io::Text::Source>::Share(source))),
          arena_(document.arena()),
          keep_text_(!source),
          names_(arena_),
          positions_(positions) {
        StartChunk(source_ ? source_->read() : std::move(text));
        stack_.push_back({&document, nullptr});
    }

    ~Parser() { LeaveChunk(); }

    void Run() {
        if (*p_ == u'<') {
            Advance();
            if (*p_ == u'?') {
                Declaration();
            } else {
                Markup();
            }
        }
        Content();
    }

private:
    // ---- The cursor.

    int64_t Offset(const char16_t* at) const { return chunk_offset_ + (at - chunk_.data()); }

    void StartChunk(BaseString chunk) {
        chunk_ = std::move(chunk);
        chunk_kept_ = false;
        p_ = chunk_.data();
        end_ = p_ + chunk_.length();
        at_end_ = p_ == end_;
        lines_counted_to_ = p_;
    }

    // The chunk goes to the arena when records point into it.
    void LeaveChunk() {
        if (chunk_kept_) {
            arena_.Keep(std::move(chunk_));
        }
        chunk_kept_ = false;
    }

    // At the end of the input the cursor stays at the end of the last chunk.
    void NextChunk() {
        if (at_end_) {
            return;
        }
        if (collecting_) {
            spill_.Append(mark_, end_ - mark_);
        }
        BaseString next = source_ ? source_->read() : BaseString();
        if (next.empty()) {
            at_end_ = true;
            p_ = mark_ = end_;
            return;
        }
        CountLines(end_);
        chunk_offset_ = Offset(end_);
        LeaveChunk();
        StartChunk(std::move(next));
        mark_ = p_;
    }

    // The cursor never goes past the end of the input.
    void Advance() {
        if (++p_ >= end_) {
            p_ = end_;
            NextChunk();
        }
    }

    static bool IsSpace(char16_t c) {
        constexpr uint64_t kSpaces = 1ull << u' ' | 1ull << u'\t' | 1ull << u'\n' | 1ull << u'\r';
        return c <= u' ' && (kSpaces >> c & 1);
    }

    void SkipSpaces() {
        for (;;) {
            char16_t c = *p_;
            if (IsSpace(c)) {
                ++p_;
            } else if (c == 0 && !at_end_) {
                NextChunk();
            } else {
                return;
            }
        }
    }

    // Counts the line feeds between the last count and `to`.
    void CountLines(const char16_t* to) {
        LineFeeds found = CountLineFeeds(lines_counted_to_, to);
        line_ += static_cast<int32_t>(found.count);
        if (found.last) {
            line_start_ = Offset(found.last) + 1;
        }
        lines_counted_to_ = to;
    }

    [[noreturn]] void Fail(const char* tag_format) {
        CountLines(p_);
        int64_t column = Offset(p_) - line_start_ + 1;
        throw Error::Internal(tag_format, "xml", line_, static_cast<int32_t>(column));
    }

    // ---- Node positions.

    // Where the character `back` units before the cursor stands; it is on the
    // cursor's line.
    TextPosition PositionBefore(int64_t back) {
        CountLines(p_);
        return {line_, static_cast<int32_t>(Offset(p_) - back - line_start_ + 1)};
    }

    void Note(const DomNode* node, TextPosition at) {
        if constexpr (kNotePositions) {
            positions_->Add(node, at);
        }
    }

    // ---- Texts gathered over chunk boundaries.

    void StartCollecting() {
        collecting_ = true;
        mark_ = p_;
    }

    // The text gathered since StartCollecting, without its last `drop`
    // characters, where the tree can point at it.
    std::u16string_view FinishCollecting(size_t drop = 0) {
        collecting_ = false;
        std::u16string_view tail(mark_, p_ - mark_);
        if (spill_.empty()) {
            return InTree(tail.substr(0, tail.size() - drop));
        }
        return FinishSpilled(tail, drop);
    }

    // FinishCollecting for a text gathered in `spill_`, which ends with `tail`.
    std::u16string_view FinishSpilled(std::u16string_view tail, size_t drop) {
        spill_.Append(tail.data(), tail.size());
        spill_.Truncate(spill_.view().size() - drop);
        std::u16string_view text = spill_.view();
        spill_.Clear();
        if (text.empty()) {
            return {};
        }
        return {arena_.CopyText(text.data(), text.size()), text.size()};
    }

    // A text of the current chunk where the tree can point at it.
    std::u16string_view InTree(std::u16string_view text) {
        if (text.empty()) {
            return {};
        }
        if (!keep_text_) {
            return {arena_.CopyText(text.data(), text.size()), text.size()};
        }
        chunk_kept_ = true;
        return text;
    }

    void DiscardCollected() {
        collecting_ = false;
        spill_.Clear();
    }

    // At "&": the reference's character joins the text being collected.
    void ExpandReference() {
        spill_.Append(mark_, p_ - mark_);
        collecting_ = false;
        uint32_t code_point = ReadReferenceInChunk();
        if (code_point == 0) {
            code_point = ReadReference();
        }
        spill_.AppendCodePoint(code_point);
        StartCollecting();
    }

    // At "&": a well-formed reference that ends before the chunk does, read in
    // one go; 0 for anything else, which ReadReference reads step by step.
    uint32_t ReadReferenceInChunk() {
        const char16_t* p = p_ + 1;
        uint32_t code_point = 0;
        if (*p == u'#') {
            bool hex = *++p == u'x';
            p += hex;
            const char16_t* digits = p;
            for (int digit; (digit = DigitValue(*p, hex)) >= 0 && p - digits < 8; ++p) {
                code_point = code_point * (hex ? 16 : 10) + digit;
            }
            bool valid = p != digits && *p == u';' && code_point <= 0x10FFFF &&
                         !Base::IsSurrogate(code_point);
            if (!valid) {
                return 0;
            }
        } else {
            for (const NamedEntity& entity : kNamedEntities) {
                if (static_cast<size_t>(end_ - p) > entity.name.size() &&
                    std::u16string_view(p, entity.name.size()) == entity.name &&
                    p[entity.name.size()] == u';') {
                    code_point = entity.character;
                    p += entity.name.size();
                    break;
                }
            }
        }
        // The cursor stays inside the chunk.
        if (code_point == 0 || end_ - p < 2) {
            return 0;
        }
        p_ = p + 1;
        return code_point;
    }

    uint32_t ReadReference() {
        Advance();
        if (*p_ == u'#') {
            Advance();
            bool hex = *p_ == u'x';
            if (hex) {
                Advance();
            }
            if (DigitValue(*p_, hex) < 0) {
                Fail("xml-parser-syntax-entity(%d:%d)");
            }
            uint32_t code_point = 0;
            for (int digit; (digit = DigitValue(*p_, hex)) >= 0; Advance()) {
                // Anything above U+10FFFF is refused below; stop growing there.
                code_point = std::min<uint32_t>(code_point * (hex ? 16 : 10) + digit, 0x110000);
            }
            if (*p_ != u';' || code_point == 0 || code_point > 0x10FFFF ||
                Base::IsSurrogate(code_point)) {
                Fail("xml-parser-syntax-entity(%d:%d)");
            }
            Advance();
            return code_point;
        }
        // Matched letter by letter, so that an error points at the first
        // character that fits no entity.
        char16_t name[4];
        size_t length = 0;
        for (;; Advance()) {
            std::u16string_view so_far(name, length);
            for (const NamedEntity& entity : kNamedEntities) {
                if (*p_ == u';' && entity.name == so_far) {
                    Advance();
                    return entity.character;
                }
            }
            bool continues = false;
            for (const NamedEntity& entity : kNamedEntities) {
                continues |= entity.name.size() > length && entity.name.starts_with(so_far) &&
                             entity.name[length] == *p_;
            }
            if (!continues) {
                Fail("xml-parser-syntax-entity(%d:%d)");
            }
            name[length++] = *p_;
        }
    }

    // ---- Names.

    // The name at the cursor, which must start with a name-start character.
    // Valid until the cursor leaves the chunk.
    std::u16string_view ReadName() {
        if (!IsNameStartChar(*p_)) {
            Fail("xml-parser-syntax-name(%d:%d)");
        }
        const char16_t* start = p_;
        const char16_t* p = p_ + 1;
        while (IsNameChar(*p)) {
            ++p;
        }
        p_ = p;
        if (p != end_) {
            return {start, static_cast<size_t>(p - start)};
        }
        // The name runs on into the next chunk.
        name_buffer_.Clear();
        name_buffer_.Append(start, p - start);
        for (NextChunk(); IsNameChar(*p_); Advance()) {
            name_buffer_.Append(*p_);
        }
        return name_buffer_.view();
    }

    // Names mostly come in the order they came before (an element's, its
    // attributes', the next element's): the name that followed the last one
    // the time before is tried first, without reading or looking up.
    const Name* ReadStoredName() {
        const Name* guess = last_name_ ? last_name_->next : nullptr;
        const Name* name = guess && SkipIfAt(*guess) ? guess : LookUpName();
        if (last_name_) {
            last_name_->next = name;
        }
        last_name_ = name;
        return name;
    }

    const Name* LookUpName() {
        std::u16string_view name = ReadName();
        bool in_chunk = name.data() != name_buffer_.view().data();
        size_t readable = in_chunk ? static_cast<size_t>(end_ - name.data()) : name.size();
        return names_.Intern(name.data(), name.size(), readable);
    }

    // Moves past `name` when it is the whole name at the cursor and ends
    // inside the chunk.
    bool SkipIfAt(const Name& name) {
        size_t length = name.length;
        size_t readable = static_cast<size_t>(end_ - p_);
        if (readable > length && name.Is(p_, length, readable) && !IsNameChar(p_[length])) {
            p_ += length;
            return true;
        }
        return false;
    }

    // Moves past the name at the cursor when it is `name` (none: the empty
    // name); false when it is another name.
    bool SkipName(const Name* name) {
        if (name && SkipIfAt(*name)) {
            return true;
        }
        return ReadName() == (name ? name->shared->view() : std::u16string_view());
    }

    // ---- Values.

    template <char16_t Quote>
    void CollectAttributeValue() {
        for (;;) {
            p_ = FindAny<Quote, u'<', u'&'>(p_, end_);
            char16_t c = *p_;
            if (c == Quote) {
                return;
            }
            if (c == u'&') {
                ExpandReference();
            } else if (c == u'<' || at_end_) {
                Fail("xml-parser-syntax-attval(%d:%d)");
            } else {
                NextChunk();
            }
        }
    }

    // At the opening quotation mark; ends past the closing one.
    std::u16string_view ReadAttributeValue() {
        char16_t quote = *p_;
        if (quote != u'"' && quote != u'\'') {
            Fail("xml-parser-syntax-attval(%d:%d)");
        }
        Advance();
        StartCollecting();
        if (quote == u'"') {
            CollectAttributeValue<u'"'>();
        } else {
            CollectAttributeValue<u'\''>();
        }
        std::u16string_view value = FinishCollecting();
        Advance();
        return value;
    }

    // Collects character data up to "<" or the end of the input.
    void CollectCharacterData() {
        for (;;) {
            p_ = FindAny<u'<', u'&'>(p_, end_);
            char16_t c = *p_;
            if (c == u'<' || at_end_) {
                return;
            }
            if (c == u'&') {
                ExpandReference();
            } else {
                NextChunk();
            }
        }
    }

    // ---- Structure.

    DomNode& Top() const { return *stack_.back().node; }
    bool AtDocumentLevel() const { return stack_.size() == 1; }

    void Declaration() {
        Advance();
        if (!IsNameStartChar(*p_) || ReadName() != u"xml") {
            Fail("xml-parser-syntax-header(%d:%d)");
        }
        size_t next_attribute = 0;
        for (;;) {
            SkipSpaces();
            if (*p_ == u'?') {
                Advance();
                if (*p_ != u'>') {
                    Fail("xml-parser-syntax-header(%d:%d)");
                }
                Advance();
                return;
            }
            if (!IsNameStartChar(*p_)) {
                Fail("xml-parser-syntax-header(%d:%d)");
            }
            const BaseString& name = *ReadStoredName()->shared;
            while (next_attribute < std::size(kDeclarationAttributes) &&
                   kDeclarationAttributes[next_attribute] != name.view()) {
                ++next_attribute;
            }
            if (next_attribute == std::size(kDeclarationAttributes)) {
                Fail("xml-parser-syntax-header(%d:%d)");
            }
            ++next_attribute;
            SkipSpaces();
            if (*p_ != u'=') {
                Fail("xml-parser-syntax-header(%d:%d)");
            }
            Advance();
            SkipSpaces();
            if (*p_ != u'"' && *p_ != u'\'') {
                Fail("xml-parser-syntax-header(%d:%d)");
            }
            BaseString value(ReadAttributeValue());
            if (IsNameStartChar(*p_)) {
                Fail("xml-parser-syntax-header(%d:%d)");
            }
            if (name == u"encoding" && decoder_) {
                SwitchEncoding(value);
            }
        }
    }

    // Decodes the rest of the text under the encoding the declaration names:
    // the text not parsed yet goes back to the decoder, to be decoded again.
    void SwitchEncoding(const BaseString& name) {
        int32_t current = decoder_->codePage();
        std::optional<int32_t> wanted = Io::Text::CodePageOfEncodingName(name, current);
        if (!wanted) {
            throw Error::Internal("xml-parser-not-supp-enc(%s)", "xml", name);
        }
        if (*wanted == current) {
            return;
        }
        auto is_utf16 = [](int32_t code_page) { return code_page == 1200 || code_page == 1201; };
        auto is_byte_oriented = [](int32_t code_page) {
            return code_page == 1250 || code_page == 1252 || code_page == 28591 ||
                   code_page == 28592 || code_page == 65001;
        };
        if ((is_utf16(current) && is_byte_oriented(*wanted)) ||
            (is_byte_oriented(current) && is_utf16(*wanted))) {
            throw Error::Internal("xml-parser-not-supp-enc(%d->%d)", "xml", current, *wanted);
        }
        if (at_end_) {
            decoder_->setCodePage(*wanted);
            return;
        }
        decoder_->returnText(BaseString(std::u16string_view(p_, end_ - p_)));
        decoder_->setCodePage(*wanted);
        CountLines(p_);
        chunk_offset_ = Offset(p_);
        LeaveChunk();
        StartChunk(decoder_->read());
    }

    void Content() {
        for (;;) {
            if (*p_ == u'<') {
                Advance();
                Markup();
                continue;
            }
            if (at_end_) {
                if (AtDocumentLevel() && root_count_ == 1) {
                    return;
                }
                Fail("xml-parser-syntax-struc(%d:%d)");
            }
            TextPosition start{};
            if constexpr (kNotePositions) {
                start = PositionBefore(0);
            }
            StartCollecting();
            SkipSpaces();
            if (*p_ == u'<' || at_end_) {
                KeepPendingWhitespace(start);
                continue;
            }
            if (AtDocumentLevel()) {
                Fail("xml-parser-syntax-struc(%d:%d)");
            }
            CollectCharacterData();
            Note(Top().AppendParsedLeaf(kTextKind, FinishCollecting()), start);
        }
    }

    // Whitespace between markup is dropped, except as the whole content of an
    // element, so its text is kept only when the element has no children yet
    // and an end tag may follow.
    void KeepPendingWhitespace(TextPosition start) {
        pending_whitespace_ = true;
        if constexpr (kNotePositions) {
            pending_start_ = start;
        }
        bool may_be_content = !at_end_ && !AtDocumentLevel() && !Top().first_child() &&
                              (p_ + 1 == end_ || p_[1] == u'/');
        if (may_be_content) {
            pending_text_ = FinishCollecting();
        } else {
            DiscardCollected();
        }
    }

    // With the character after "<" current.
    void Markup() {
        if (*p_ == u'/' && pending_whitespace_) {
            if (AtDocumentLevel()) {
                Fail("xml-parser-syntax-struc(%d:%d)");
            }
            if (!Top().first_child()) {
                Note(Top().AppendParsedLeaf(kTextKind, pending_text_), pending_start_);
            }
        }
        pending_whitespace_ = false;
        pending_text_ = {};

        char16_t c = *p_;
        if (c == u'!') {
            Advance();
            if (*p_ == u'-') {
                Comment();
            } else if (*p_ == u'[') {
                if (AtDocumentLevel()) {
                    Fail("xml-parser-syntax-struc(%d:%d)");
                }
                CdataSection();
            } else {
                Fail("xml-parser-syntax(%d:%d)");
            }
        } else if (c == u'/') {
            EndTag();
        } else if (IsNameStartChar(c)) {
            StartTag();
        } else {
            Fail("xml-parser-syntax(%d:%d)");
        }
    }

    void StartTag() {
        if (AtDocumentLevel() && ++root_count_ > 1) {
            Fail("xml-parser-syntax-struc(%d:%d)");
        }
        TextPosition start{};
        if constexpr (kNotePositions) {
            start = PositionBefore(1);  // the "<"
        }
        const Name* element_name = ReadStoredName();
        DomNode* element = Top().AppendParsedElement(element_name->shared);
        Note(element, start);
        attributes_.clear();
        for (;;) {
            SkipSpaces();
            char16_t c = *p_;
            if (c == u'/') {
                Advance();
                if (*p_ != u'>') {
                    Fail("xml-parser-syntax(%d:%d)");
                }
                Advance();
                break;
            }
            if (c == u'>') {
                Advance();
                stack_.push_back({element, element_name});
                break;
            }
            if (!IsNameStartChar(c)) {
                Fail("xml-parser-syntax(%d:%d)");
            }
            const Name* name = ReadStoredName();
            SkipSpaces();
            if (*p_ != u'=') {
                Fail("xml-parser-syntax(%d:%d)");
            }
            Advance();
            SkipSpaces();
            std::u16string_view value = ReadAttributeValue();
            if (IsNameStartChar(*p_)) {
                Fail("xml-parser-syntax(%d:%d)");
            }
            attributes_.push_back({name, value});
        }
        if (!attributes_.empty()) {
            SetAttributes(*element);
        }
    }

    // The attributes of the tag, in name order; of repeated names the last.
    void SetAttributes(DomNode& element) {
        auto before = [](const PendingAttribute& a, const PendingAttribute& b) {
            return a.name != b.name && *a.name < *b.name;
        };
        // Both sorts keep repeated names in tag order. Tags mostly have a few
        // attributes, often in order already.
        if (attributes_.size() <= 16) {
            for (size_t i = 1; i < attributes_.size(); ++i) {
                for (size_t j = i; j > 0 && before(attributes_[j], attributes_[j - 1]); --j) {
                    std::swap(attributes_[j], attributes_[j - 1]);
                }
            }
        } else {
            std::stable_sort(attributes_.begin(), attributes_.end(), before);
        }
        // Stored in one pass; the room of a repeated name (rare) stays unused.
        size_t last = attributes_.size() - 1;
        auto* stored = static_cast<DomNode::Attribute*>(
            arena_.AllocateStorage(attributes_.size() * sizeof(DomNode::Attribute)));
        size_t count = 0;
        for (size_t i = 0; i < last; ++i) {
            if (attributes_[i].name != attributes_[i + 1].name) {
                new (stored + count++)
                    DomNode::Attribute(attributes_[i].name->shared, attributes_[i].value);
            }
        }
        new (stored + count++)
            DomNode::Attribute(attributes_[last].name->shared, attributes_[last].value);
        element.SetParsedAttributes(stored, static_cast<uint32_t>(count));
    }

    // With the "/" after "<" current.
    void EndTag() {
        Advance();
        if (!IsNameStartChar(*p_) || !SkipName(stack_.back().name)) {
            Fail("xml-parser-syntax-struc(%d:%d)");
        }
        SkipSpaces();
        if (*p_ != u'>') {
            Fail("xml-parser-syntax(%d:%d)");
        }
        Advance();
        stack_.pop_back();
    }

    // With the first "-" after "<!" current.
    void Comment() {
        TextPosition start{};
        if constexpr (kNotePositions) {
            start = PositionBefore(2);  // the "<" of "<!-"
        }
        Advance();
        if (*p_ != u'-') {
            Fail("xml-parser-syntax-comment(%d:%d)");
        }
        Advance();
        StartCollecting();
        for (;;) {
            p_ = FindAny<u'-'>(p_, end_);
            if (at_end_) {
                Fail("xml-parser-syntax-eof(%d:%d)");
            }
            if (*p_ != u'-') {
                NextChunk();
                continue;
            }
            Advance();
            if (*p_ == u'-') {
                Advance();
                if (*p_ != u'>') {
                    Fail("xml-parser-syntax-comment(%d:%d)");
                }
                break;
            }
        }
        std::u16string_view text = FinishCollecting(2);
        Advance();
        Note(Top().AppendParsedLeaf(kCommentKind, text), start);
    }

    // With the "[" after "<!" current. The section ends at a ">" after two "]"
    // held back; a third "]" releases the held ones into the text.
    void CdataSection() {
        TextPosition start{};
        if constexpr (kNotePositions) {
            start = PositionBefore(2);  // the "<" of "<!["
        }
        for (char16_t expected : std::u16string_view(u"CDATA[")) {
            Advance();
            if (*p_ != expected) {
                Fail("xml-parser-syntax-cdata(%d:%d)");
            }
        }
        Advance();
        StartCollecting();
        int held = 0;
        for (;;) {
            if (held == 0) {
                p_ = FindAny<u']'>(p_, end_);
            }
            if (at_end_) {
                Fail("xml-parser-syntax-eof(%d:%d)");
            }
            char16_t c = *p_;
            if (c == 0) {
                NextChunk();
                continue;
            }
            if (c == u'>' && held == 2) {
                break;
            }
            held = c == u']' ? (held + 1) % 3 : 0;
            Advance();
        }
        std::u16string_view text = FinishCollecting(2);
        Advance();
        Note(Top().AppendParsedLeaf(kCdataKind, text), start);
    }

    Io::Text::Source* source_;
    Ref<Io::Text::Decoder> decoder_;  // the source, when it is a decoder
    NodeArena& arena_;
    const bool keep_text_;  // the text is given whole
    BaseString chunk_;
    bool chunk_kept_ = false;  // records point into the chunk
    const char16_t* p_;
    const char16_t* end_;
    bool at_end_;
    int64_t chunk_offset_ = 0;  // of the chunk's first character in the whole text
    const char16_t* lines_counted_to_;
    int32_t line_ = 1;        // of the character at lines_counted_to_
    int64_t line_start_ = 0;  // offset of that line's first character

    bool collecting_ = false;
    const char16_t* mark_ = nullptr;  // where collecting started in this chunk
    ScratchText spill_;

    struct OpenNode {
        DomNode* node;
        const Name* name;  // none for the document
    };
    std::vector<OpenNode> stack_;
    int32_t root_count_ = 0;
    bool pending_whitespace_ = false;
    std::u16string_view pending_text_;
    TextPosition pending_start_{};
    NameTable names_;
    const Name* last_name_ = nullptr;  // the name read last
    ScratchText name_buffer_;
    struct PendingAttribute {
        const Name* name;
        std::u16string_view value;
    };
    std::vector<PendingAttribute> attributes_;  // of the start tag being read
    NodePositions* positions_;                  // with kNotePositions
};

}  // namespace

void ParseDocument(DomNode& document, Io::Text::Source* source, BaseString text,
                   NodePositions* positions) {
    if (positions) {
        Parser<true>(document, source, std::move(text), positions).Run();
    } else {
        Parser<false>(document, source, std::move(text), nullptr).Run();
    }
}

}  // namespace Xml
