#include "error/error.h"

// The insert rules of FormatMessageW working from a string: "%1" to "%99"
// insert an argument (an optional "!printf-format!" after the number is
// skipped: the arguments are texts); "%0" ends the output; "%n" is CR LF, "%r"
// CR, "%t" a tab; "%" before any other character stands for that character. A
// reference to an argument that was not given fails, which gives the empty text.
BaseString FillMessage(std::u16string_view message,
                       std::initializer_list<std::u16string_view> inserts) {
    BaseString out;
    out.Reserve(message.size() * 2);
    size_t i = 0;
    while (i < message.size()) {
        char16_t c = message[i++];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (i >= message.size()) {
            return {};
        }
        char16_t next = message[i++];
        if (next >= u'1' && next <= u'9') {
            size_t number = next - u'0';
            if (i < message.size() && message[i] >= u'0' && message[i] <= u'9') {
                number = number * 10 + (message[i++] - u'0');
            }
            if (i < message.size() && message[i] == u'!') {
                size_t close = message.find(u'!', i + 1);
                if (close == std::u16string_view::npos) {
                    return {};
                }
                i = close + 1;
            }
            if (number > inserts.size()) {
                return {};
            }
            out += inserts.begin()[number - 1];
            continue;
        }
        switch (next) {
            case u'0':
                return out;
            case u'n':
                out += u"\r\n";
                break;
            case u'r':
                out += u'\r';
                break;
            case u't':
                out += u'\t';
                break;
            default:
                out += next;
                break;
        }
    }
    return out;
}
