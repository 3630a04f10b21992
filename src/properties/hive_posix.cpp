#include "properties/hive.h"

#include <algorithm>
#include <utility>

#include "base/hex.h"
#include "io/text/utf8.h"
#include "properties/registry.h"

namespace Registry {

namespace {

constexpr std::u16string_view kHeader = u"Windows Registry Editor Version 5.00";

char16_t Upper(char16_t c) {
    if (c < 0x80) {
        return c >= u'a' && c <= u'z' ? c - 32 : c;
    }
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) ||
        (c >= 0x430 && c <= 0x44F)) {
        return c - 32;
    }
    if (c >= 0x450 && c <= 0x45F) {
        return c - 80;
    }
    if (c == 0x3C2) {
        return 0x3A3;  // final sigma
    }
    if (c == 0xFF) {
        return 0x178;
    }
    bool odd = c & 1;
    if (((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) &&
        odd) {
        return c - 1;
    }
    if (((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) && !odd) {
        return c - 1;
    }
    return c;
}

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t';
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (IsSpace(text.back()) || text.back() == u'\r')) {
        text.remove_suffix(1);
    }
    return text;
}

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// 1 to `max_digits` hexadecimal digits and nothing else.
bool ParseHexNumber(std::u16string_view text, size_t max_digits, uint32_t* number) {
    if (text.empty() || text.size() > max_digits) {
        return false;
    }
    *number = 0;
    for (char16_t c : text) {
        int digit = Base::HexDigitValue(c);
        if (digit < 0) {
            return false;
        }
        *number = *number << 4 | static_cast<uint32_t>(digit);
    }
    return true;
}

bool DecodeText(std::string_view bytes, std::u16string* text) {
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        if (bytes.size() % 2 != 0) {
            return false;
        }
        text->reserve(bytes.size() / 2);
        for (size_t i = 2; i < bytes.size(); i += 2) {
            text->push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                                  static_cast<uint8_t>(bytes[i + 1]) << 8));
        }
    } else {
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
            bytes.remove_prefix(3);
        }
        // Strict UTF-8: a file that is not valid text is not a hive.
        BaseString decoded;
        if (Io::Text::Utf8::Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                   decoded) != bytes.size()) {
            return false;
        }
        text->assign(decoded.view());
    }
    return text->find(u'\0') == std::u16string::npos;
}

// A quoted name or string from `text` (which starts at the opening quote), with
// the escapes \\ and \"; `text` is left after the closing quote.
bool ParseQuoted(std::u16string_view& text, std::u16string* out) {
    for (size_t i = 1; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'"') {
            text.remove_prefix(i + 1);
            return true;
        }
        if (c == u'\\') {
            if (++i == text.size() || (text[i] != u'\\' && text[i] != u'"')) {
                return false;
            }
            c = text[i];
        }
        out->push_back(c);
    }
    return false;
}

bool ParseHexBytes(std::u16string_view text, std::vector<uint8_t>* bytes) {
    text = Trim(text);
    if (text.empty()) {
        return true;
    }
    for (;;) {
        size_t comma = text.find(u',');
        uint32_t byte;
        if (!ParseHexNumber(Trim(text.substr(0, comma)), 2, &byte)) {
            return false;
        }
        bytes->push_back(static_cast<uint8_t>(byte));
        if (comma == std::u16string_view::npos) {
            return true;
        }
        text.remove_prefix(comma + 1);
    }
}

bool ParseData(std::u16string_view data, HiveValue* value) {
    if (!data.empty() && data.front() == u'"') {
        std::u16string text;
        if (!ParseQuoted(data, &text) || !data.empty()) {
            return false;
        }
        value->type = kTypeString;
        for (char16_t c : text) {
            value->data.push_back(static_cast<uint8_t>(c));
            value->data.push_back(static_cast<uint8_t>(c >> 8));
        }
        value->data.insert(value->data.end(), {0, 0});
        return true;
    }
    if (StartsWithIgnoringCase(data, u"dword:")) {
        uint32_t number;
        if (!ParseHexNumber(data.substr(6), 8, &number)) {
            return false;
        }
        value->type = kTypeDword;
        for (int shift = 0; shift < 32; shift += 8) {
            value->data.push_back(static_cast<uint8_t>(number >> shift));
        }
        return true;
    }
    if (StartsWithIgnoringCase(data, u"hex")) {
        data.remove_prefix(3);
        value->type = kTypeBinary;
        if (!data.empty() && data.front() == u'(') {
            size_t close = data.find(u')');
            if (close == std::u16string_view::npos ||
                !ParseHexNumber(data.substr(1, close - 1), 8, &value->type)) {
                return false;
            }
            data.remove_prefix(close + 1);
        }
        if (data.empty() || data.front() != u':') {
            return false;
        }
        return ParseHexBytes(data.substr(1), &value->data);
    }
    return false;  // "-" (a deletion) or anything else
}

// "[HKEY_...\A\B]": the key, made when missing.
HiveKey* ParseKeyLine(std::u16string_view line, Hive hive, HiveKey* root) {
    if (line.size() < 2 || line.back() != u']' || line[1] == u'-') {
        return nullptr;
    }
    std::u16string_view path = line.substr(1, line.size() - 2);
    size_t separator = path.find(u'\\');
    if (!EqualsIgnoringCase(path.substr(0, separator), HiveName(hive))) {
        return nullptr;
    }
    HiveKey* key = root;
    while (separator != std::u16string_view::npos) {
        path.remove_prefix(separator + 1);
        separator = path.find(u'\\');
        std::u16string_view name = path.substr(0, separator);
        if (!IsValidKeyName(name)) {
            return nullptr;
        }
        key = &key->Subkey(name);
    }
    return key;
}

// Splits text into lines without their line ends and outer blanks.
class LineReader {
public:
    explicit LineReader(std::u16string_view text) : text_(text) {}

    bool Next(std::u16string_view* line) {
        if (text_.empty()) {
            return false;
        }
        size_t end = text_.find(u'\n');
        *line = Trim(text_.substr(0, end));
        text_.remove_prefix(end == std::u16string_view::npos ? text_.size() : end + 1);
        return true;
    }

private:
    std::u16string_view text_;
};

// '"name"=data' or '@=data'; hex data that ends in "\" goes on in the next line.
bool ParseValueLine(std::u16string_view line, LineReader& lines, HiveKey* key) {
    HiveValue value;
    if (line.front() == u'"') {
        if (!ParseQuoted(line, &value.name) || !IsValidValueName(value.name)) {
            return false;
        }
    } else if (line.front() == u'@') {
        line.remove_prefix(1);
    } else {
        return false;
    }
    line = Trim(line);
    if (line.empty() || line.front() != u'=' || key->FindValue(value.name)) {
        return false;
    }
    std::u16string data(Trim(line.substr(1)));
    if (StartsWithIgnoringCase(data, u"hex")) {
        std::u16string_view next;
        while (!data.empty() && data.back() == u'\\' && lines.Next(&next)) {
            data.pop_back();
            data += next;
        }
    }
    if (!ParseData(data, &value)) {
        return false;
    }
    key->values.push_back(std::move(value));
    return true;
}

void AppendUtf16Le(std::string& out, std::u16string_view text) {
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
}

void AppendQuoted(std::u16string& out, std::u16string_view text) {
    out += u'"';
    for (char16_t c : text) {
        if (c == u'\\' || c == u'"') {
            out += u'\\';
        }
        out += c;
    }
    out += u'"';
}

// A REG_SZ value that reads back the same from a quoted string: text with one
// terminating zero, no other zero, no line break.
bool IsPlainString(const HiveValue& value, std::u16string* text) {
    const std::vector<uint8_t>& data = value.data;
    if (value.type != kTypeString || data.size() < 2 || data.size() % 2 != 0) {
        return false;
    }
    for (size_t i = 0; i + 2 < data.size(); i += 2) {
        char16_t c = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        if (c == 0 || c == u'\r' || c == u'\n') {
            return false;
        }
        text->push_back(c);
    }
    return data[data.size() - 2] == 0 && data[data.size() - 1] == 0;
}

void AppendHexNumber(std::u16string& out, uint32_t number, int min_digits) {
    char16_t digits[8];
    int count = 0;
    do {
        digits[count++] = Base::HexDigit(number);
        number >>= 4;
    } while (number != 0 || count < min_digits);
    while (count > 0) {
        out += digits[--count];
    }
}

// hex bytes, wrapped at 80 columns the way regedit wraps them.
void AppendHexBytes(std::u16string& out, size_t line_start, const std::vector<uint8_t>& data) {
    for (size_t i = 0; i < data.size(); ++i) {
        if (i > 0) {
            out += u',';
            if (out.size() - line_start > 76) {
                out += u"\\\r\n  ";
                line_start = out.size() - 4;
            }
        }
        AppendHexNumber(out, data[i], 2);
    }
}

void AppendValue(std::u16string& out, const HiveValue& value) {
    size_t line_start = out.size();
    if (value.name.empty()) {
        out += u'@';
    } else {
        AppendQuoted(out, value.name);
    }
    out += u'=';
    std::u16string text;
    if (IsPlainString(value, &text)) {
        AppendQuoted(out, text);
    } else if (value.type == kTypeDword && value.data.size() == 4) {
        out += u"dword:";
        const std::vector<uint8_t>& d = value.data;
        AppendHexNumber(out, d[0] | d[1] << 8 | d[2] << 16 | static_cast<uint32_t>(d[3]) << 24, 8);
    } else {
        out += u"hex";
        if (value.type != kTypeBinary) {
            out += u'(';
            AppendHexNumber(out, value.type, 1);
            out += u')';
        }
        out += u':';
        AppendHexBytes(out, line_start, value.data);
    }
    out += u"\r\n";
}

void AppendKey(std::u16string& out, const HiveKey& key, std::u16string& path, bool is_root) {
    if (!is_root || !key.values.empty()) {
        out += u'[';
        out += path;
        out += u"]\r\n";
        for (const HiveValue& value : key.values) {
            AppendValue(out, value);
        }
        out += u"\r\n";
    }
    for (const auto& subkey : key.subkeys) {
        size_t length = path.size();
        path += u'\\';
        path += subkey->name;
        AppendKey(out, *subkey, path, false);
        path.resize(length);
    }
}

}  // namespace

HiveKey* HiveKey::FindSubkey(std::u16string_view wanted) const {
    for (const auto& subkey : subkeys) {
        if (EqualsIgnoringCase(subkey->name, wanted)) {
            return subkey.get();
        }
    }
    return nullptr;
}

const HiveValue* HiveKey::FindValue(std::u16string_view wanted) const {
    for (const HiveValue& value : values) {
        if (EqualsIgnoringCase(value.name, wanted)) {
            return &value;
        }
    }
    return nullptr;
}

HiveValue* HiveKey::FindValue(std::u16string_view wanted) {
    return const_cast<HiveValue*>(std::as_const(*this).FindValue(wanted));
}

HiveKey& HiveKey::Subkey(std::u16string_view wanted) {
    if (HiveKey* found = FindSubkey(wanted)) {
        return *found;
    }
    subkeys.push_back(std::make_unique<HiveKey>());
    subkeys.back()->name = wanted;
    return *subkeys.back();
}

std::u16string_view HiveName(Hive hive) {
    return hive == Hive::kMachine ? u"HKEY_LOCAL_MACHINE" : u"HKEY_CURRENT_USER";
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return x == y || Upper(x) == Upper(y); });
}

bool IsValidKeyName(std::u16string_view name) {
    return !name.empty() && std::none_of(name.begin(), name.end(),
                                         [](char16_t c) { return c < 0x20 || c == u'\\'; });
}

bool IsValidValueName(std::u16string_view name) {
    return name.find_first_of(u"\r\n") == std::u16string_view::npos;
}

bool ParseHive(std::string_view bytes, Hive hive, HiveKey* root) {
    std::u16string text;
    if (!DecodeText(bytes, &text)) {
        return false;
    }
    LineReader lines(text);
    std::u16string_view line;
    bool header = false;
    HiveKey* key = nullptr;
    while (lines.Next(&line)) {
        if (line.empty() || line.front() == u';') {
            continue;
        }
        if (!header) {
            if (line != kHeader) {
                return false;
            }
            header = true;
        } else if (line.front() == u'[') {
            key = ParseKeyLine(line, hive, root);
            if (!key) {
                return false;
            }
        } else if (!key || !ParseValueLine(line, lines, key)) {
            return false;
        }
    }
    return header;
}

std::string WriteHive(const HiveKey& root, Hive hive) {
    std::u16string text(kHeader);
    text += u"\r\n\r\n";
    std::u16string path(HiveName(hive));
    AppendKey(text, root, path, true);
    std::string bytes = "\xFF\xFE";
    AppendUtf16Le(bytes, text);
    return bytes;
}

}  // namespace Registry
