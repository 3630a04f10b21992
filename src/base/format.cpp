#include "base/format.h"

#include "base/hex.h"
#include "base/utf.h"

namespace Base {

namespace {

void AppendNumber(BaseString& out, uint64_t value, unsigned base, bool upper, bool negative,
                  size_t width, bool zero_pad, bool left) {
    char16_t digits[24];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char16_t>(Base::HexDigit(value % base, upper));
        value /= base;
    } while (value != 0);
    size_t total = count + (negative ? 1 : 0);
    size_t padding = width > total ? width - total : 0;
    if (!left && !zero_pad) {
        out.Append(std::u16string(padding, u' '));
    }
    if (negative) {
        out.Append(u'-');
    }
    if (!left && zero_pad) {
        out.Append(std::u16string(padding, u'0'));
    }
    while (count > 0) {
        out.Append(digits[--count]);
    }
    if (left) {
        out.Append(std::u16string(padding, u' '));
    }
}

void AppendPadded(BaseString& out, std::u16string_view text, size_t width, bool left) {
    size_t padding = width > text.size() ? width - text.size() : 0;
    if (!left) {
        out.Append(std::u16string(padding, u' '));
    }
    out.Append(text);
    if (left) {
        out.Append(std::u16string(padding, u' '));
    }
}

}  // namespace

BaseString FormatList(std::string_view format, std::initializer_list<FormatArg> args) {
    BaseString out;
    const FormatArg* next = args.begin();
    size_t i = 0;
    auto literal_start = i;
    auto flush_literal = [&](size_t end) {
        if (end > literal_start) {
            AppendUtf8AsUtf16(format.substr(literal_start, end - literal_start), out);
        }
    };
    while (i < format.size()) {
        if (format[i] != '%') {
            ++i;
            continue;
        }
        flush_literal(i);
        size_t spec = i++;
        bool left = false;
        bool zero_pad = false;
        while (i < format.size() && (format[i] == '-' || format[i] == '0')) {
            (format[i] == '-' ? left : zero_pad) = true;
            ++i;
        }
        size_t width = 0;
        while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
            width = width * 10 + static_cast<size_t>(format[i] - '0');
            ++i;
        }
        while (i < format.size() && (format[i] == 'l' || format[i] == 'h')) {
            ++i;
        }
        if (i >= format.size()) {
            literal_start = spec;
            break;
        }
        char conversion = format[i++];
        literal_start = i;
        if (conversion == '%') {
            out.Append(u'%');
            continue;
        }
        const FormatArg* arg = next != args.end() ? next++ : nullptr;
        if (!arg) {
            continue;
        }
        uint32_t as32 = static_cast<uint32_t>(arg->integer());
        switch (conversion) {
            case 'd':
            case 'i':
                if (arg->kind() == FormatArg::Kind::kText) {
                    AppendPadded(out, arg->text(), width, left);
                } else {
                    int32_t v = static_cast<int32_t>(as32);
                    uint64_t magnitude = v < 0 ? uint64_t{0} - static_cast<int64_t>(v) : v;
                    AppendNumber(out, magnitude, 10, false, v < 0, width, zero_pad, left);
                }
                break;
            case 'u':
                AppendNumber(out, as32, 10, false, false, width, zero_pad, left);
                break;
            case 'x':
            case 'X':
                AppendNumber(out, as32, 16, conversion == 'X', false, width, zero_pad, left);
                break;
            case 'p':
                AppendNumber(out, reinterpret_cast<uintptr_t>(arg->pointer()), 16, true, false,
                             sizeof(void*) * 2, true, false);
                break;
            case 'c':
                out.Append(static_cast<char16_t>(as32));
                break;
            case 's':
                if (arg->kind() == FormatArg::Kind::kText) {
                    AppendPadded(out, arg->text(), width, left);
                } else {
                    AppendNumber(out, static_cast<uint64_t>(arg->integer()), 10, false, false,
                                 width, zero_pad, left);
                }
                break;
            default:
                // Unknown conversion: keep the directive as written.
                literal_start = spec;
                break;
        }
    }
    flush_literal(format.size());
    return out;
}

}  // namespace Base
