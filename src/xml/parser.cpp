#include "xml/parser.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "base/utf.h"
#include "error/error.h"
#include "io/text/decoder.h"
#include "io/text/encoding_name.h"
#include "xml/name_chars.h"
#include "xml/name_table.h"
#include "xml/node.h"

namespace Xml {

namespace {

// What stops a scan over plain characters (ASCII only: every character above
// U+007F is plain). U+0000 only ever appears as the terminator after a chunk.
enum : uint8_t {
    kStopLt = 1,
    kStopAmp = 2,
    kStopQuot = 4,
    kStopApos = 8,
    kStopBracket = 16,
    kStopDash = 32,
    kStopChunkEnd = 64,
    kLineFeed = 128,
};

constexpr std::array<uint8_t, 128> MakeStopTable() {
    std::array<uint8_t, 128> table{};
    table[0] = kStopChunkEnd;
    table['\n'] = kLineFeed;
    table['<'] = kStopLt;
    table['&'] = kStopAmp;
    table['"'] = kStopQuot;
    table['\''] = kStopApos;
    table[']'] = kStopBracket;
    table['-'] = kStopDash;
    return table;
}

constexpr std::array<uint8_t, 128> kStops = MakeStopTable();

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

// One parse: the cursor over the text's chunks, the stack of open nodes and the
// names met so far.
//
// The cursor keeps `p_` inside the current chunk; the character there is 0
// only at the end of the input, because reaching the end of a chunk reads the
// next one at once. Lines and columns are not counted character by character:
// the parser counts line feeds and remembers where the current line began, and
// the column is worked out only for an error.
//
// Values (texts, attribute values, comments) are taken straight from the chunk
// when they lie inside it and hold no reference; otherwise the pieces gather
// in `spill_` as the chunks pass.
class Parser {
public:
    Parser(DomNode& document, Io::Text::Source* source, BaseString text)
        : source_(source),
          decoder_(SoftCast<Io::Text::Decoder>(Ref<Io::Text::Source>::Share(source))) {
        StartChunk(source_ ? source_->read() : std::move(text));
        stack_.push_back(&document);
    }

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

    void NewLine(const char16_t* line_feed) {
        ++line_;
        line_start_ = Offset(line_feed) + 1;
    }

    void StartChunk(BaseString chunk) {
        chunk_ = std::move(chunk);
        p_ = chunk_.data();
        end_ = p_ + chunk_.length();
        at_end_ = p_ == end_;
    }

    void NextChunk() {
        if (at_end_) {
            return;
        }
        if (collecting_) {
            spill_.Append(std::u16string_view(mark_, end_ - mark_));
        }
        chunk_offset_ += chunk_.length();
        StartChunk(source_ ? source_->read() : BaseString());
        mark_ = p_;
    }

    void Advance() {
        if (p_ == end_) {
            return;
        }
        if (*p_ == u'\n') {
            NewLine(p_);
        }
        if (++p_ == end_) {
            NextChunk();
        }
    }

    // Moves over characters that are not in `stops`, counting lines, up to the
    // end of the current chunk at most.
    void SkipWithin(uint8_t stops) {
        const char16_t* p = p_;
        for (;;) {
            char16_t c = *p;
            if (c < 0x80 && (kStops[c] & (stops | kStopChunkEnd | kLineFeed))) {
                if (c != u'\n') {
                    break;
                }
                NewLine(p);
            }
            ++p;
        }
        p_ = p;
    }

    void SkipSpaces() {
        for (;;) {
            char16_t c = *p_;
            if (c == u' ' || c == u'\t' || c == u'\r') {
                ++p_;
            } else if (c == u'\n') {
                NewLine(p_);
                ++p_;
            } else if (c == 0 && !at_end_) {
                NextChunk();
            } else {
                return;
            }
        }
    }

    [[noreturn]] void Fail(const char* tag_format) const {
        int64_t column = Offset(p_) - line_start_ + 1;
        throw Error::Internal(tag_format, "xml", line_, static_cast<int32_t>(column));
    }

    // ---- Values gathered over chunk boundaries.

    void StartCollecting() {
        collecting_ = true;
        mark_ = p_;
    }

    // The text gathered since StartCollecting, without its last `drop` characters.
    BaseString FinishCollecting(size_t drop = 0) {
        collecting_ = false;
        std::u16string_view tail(mark_, p_ - mark_);
        if (spill_.empty()) {
            return BaseString(tail.substr(0, tail.size() - drop));
        }
        spill_.Append(tail);
        spill_.Truncate(spill_.length() - drop);
        return std::move(spill_);
    }

    void DiscardCollected() {
        collecting_ = false;
        spill_.Clear();
    }

    // At "&": the reference's character joins the value being collected.
    void ExpandReference() {
        spill_.Append(std::u16string_view(mark_, p_ - mark_));
        collecting_ = false;
        Base::AppendCodePoint(ReadReference(), spill_);
        StartCollecting();
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
    BaseString ReadName() {
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
            return names_.Intern(std::u16string_view(start, p - start));
        }
        // The name runs on into the next chunk.
        name_buffer_.assign(start, p);
        for (NextChunk(); IsNameChar(*p_); Advance()) {
            name_buffer_ += *p_;
        }
        return names_.Intern(name_buffer_);
    }

    // Moves past the name at the cursor when it is `name`; false when it is
    // another name.
    bool SkipName(const BaseString& name) {
        size_t length = name.length();
        if (static_cast<size_t>(end_ - p_) > length &&
            std::memcmp(p_, name.data(), length * sizeof(char16_t)) == 0 &&
            !IsNameChar(p_[length])) {
            p_ += length;
            return true;
        }
        return ReadName() == name;
    }

    // ---- Values.

    // At the opening quotation mark; ends past the closing one.
    BaseString ReadAttributeValue() {
        char16_t quote = *p_;
        if (quote != u'"' && quote != u'\'') {
            Fail("xml-parser-syntax-attval(%d:%d)");
        }
        Advance();
        StartCollecting();
        uint8_t stops = kStopLt | kStopAmp | (quote == u'"' ? kStopQuot : kStopApos);
        for (;;) {
            SkipWithin(stops);
            char16_t c = *p_;
            if (c == quote) {
                break;
            }
            if (c == u'&') {
                ExpandReference();
            } else if (c == u'<' || at_end_) {
                Fail("xml-parser-syntax-attval(%d:%d)");
            } else {
                NextChunk();
            }
        }
        BaseString value = FinishCollecting();
        Advance();
        return value;
    }

    // Collects character data up to "<" or the end of the input.
    void CollectCharacterData() {
        for (;;) {
            SkipWithin(kStopLt | kStopAmp);
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

    DomNode& Top() const { return *stack_.back(); }
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
            BaseString name = ReadName();
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
            BaseString value = ReadAttributeValue();
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
        chunk_offset_ = Offset(p_);
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
            StartCollecting();
            SkipSpaces();
            if (*p_ == u'<' || at_end_) {
                KeepPendingWhitespace();
                continue;
            }
            if (AtDocumentLevel()) {
                Fail("xml-parser-syntax-struc(%d:%d)");
            }
            CollectCharacterData();
            Top().CreateChild(kTextKind, FinishCollecting());
        }
    }

    // Whitespace between markup is dropped, except as the whole content of an
    // element, so its text is kept only when the element has no children yet
    // and an end tag may follow.
    void KeepPendingWhitespace() {
        pending_whitespace_ = true;
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
                Top().CreateChild(kTextKind, std::move(pending_text_));
            }
        }
        pending_whitespace_ = false;
        pending_text_.Clear();

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
        DomNode* element = Top().CreateChild(kElementKind, ReadName());
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
                stack_.push_back(element);
                break;
            }
            if (!IsNameStartChar(c)) {
                Fail("xml-parser-syntax(%d:%d)");
            }
            BaseString name = ReadName();
            SkipSpaces();
            if (*p_ != u'=') {
                Fail("xml-parser-syntax(%d:%d)");
            }
            Advance();
            SkipSpaces();
            BaseString value = ReadAttributeValue();
            if (IsNameStartChar(*p_)) {
                Fail("xml-parser-syntax(%d:%d)");
            }
            attributes_.push_back({std::move(name), std::move(value), attributes_.size()});
        }
        // Set once the tag is complete, in name order: the element's list is
        // allocated once and each attribute goes to its end, or replaces the one
        // of the same name written before it.
        std::sort(attributes_.begin(), attributes_.end(),
                  [](const PendingAttribute& a, const PendingAttribute& b) {
                      return a.name != b.name ? a.name < b.name : a.order < b.order;
                  });
        element->ReserveAttributes(attributes_.size());
        for (PendingAttribute& attribute : attributes_) {
            element->SetAttribute(std::move(attribute.name), std::move(attribute.value));
        }
    }

    // With the "/" after "<" current.
    void EndTag() {
        Advance();
        if (!IsNameStartChar(*p_) || !SkipName(Top().value())) {
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
        Advance();
        if (*p_ != u'-') {
            Fail("xml-parser-syntax-comment(%d:%d)");
        }
        Advance();
        StartCollecting();
        for (;;) {
            SkipWithin(kStopDash);
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
        BaseString text = FinishCollecting(2);
        Advance();
        Top().CreateChild(kCommentKind, std::move(text));
    }

    // With the "[" after "<!" current. The section ends at a ">" after two "]"
    // held back; a third "]" releases the held ones into the text.
    void CdataSection() {
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
                SkipWithin(kStopBracket);
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
        BaseString text = FinishCollecting(2);
        Advance();
        Top().CreateChild(kCdataKind, std::move(text));
    }

    Io::Text::Source* source_;
    Ref<Io::Text::Decoder> decoder_;  // the source, when it is a decoder
    BaseString chunk_;
    const char16_t* p_;
    const char16_t* end_;
    bool at_end_;
    int64_t chunk_offset_ = 0;  // of the chunk's first character in the whole text
    int64_t line_start_ = 0;    // offset of the current line's first character
    int32_t line_ = 1;

    bool collecting_ = false;
    const char16_t* mark_ = nullptr;  // where collecting started in this chunk
    BaseString spill_;

    std::vector<DomNode*> stack_;
    int32_t root_count_ = 0;
    bool pending_whitespace_ = false;
    BaseString pending_text_;
    NameTable names_;
    std::u16string name_buffer_;
    struct PendingAttribute {
        BaseString name;
        BaseString value;
        size_t order;  // in the tag
    };
    std::vector<PendingAttribute> attributes_;  // of the start tag being read
};

}  // namespace

void ParseDocument(DomNode& document, Io::Text::Source* source, BaseString text) {
    Parser(document, source, std::move(text)).Run();
}

}  // namespace Xml
