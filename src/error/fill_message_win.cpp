#include <algorithm>
#include <vector>

#include "base/win.h"
#include "error/error.h"

namespace {

// The highest insert number the message refers to. FormatMessageW would read an
// argument that was not given from beyond the array.
size_t HighestInsert(std::u16string_view message) {
    size_t highest = 0;
    for (size_t i = 0; i + 1 < message.size(); ++i) {
        if (message[i] != u'%') {
            continue;
        }
        char16_t next = message[++i];
        if (next >= u'1' && next <= u'9') {
            size_t number = next - u'0';
            if (i + 1 < message.size() && message[i + 1] >= u'0' && message[i + 1] <= u'9') {
                number = number * 10 + (message[++i] - u'0');
            }
            highest = std::max(highest, number);
        }
    }
    return highest;
}

}  // namespace

BaseString FillMessage(std::u16string_view message,
                       std::initializer_list<std::u16string_view> inserts) {
    if (HighestInsert(message) > inserts.size()) {
        return {};
    }
    BaseString pattern(message);
    std::vector<BaseString> texts(inserts.begin(), inserts.end());
    std::vector<DWORD_PTR> arguments;
    for (const BaseString& text : texts) {
        arguments.push_back(reinterpret_cast<DWORD_PTR>(text.c_str()));
    }
    // Four bytes per character of the template plus two, then two bytes more at
    // each "buffer too small".
    std::vector<wchar_t> buffer((4 * pattern.length() + 2) / sizeof(wchar_t));
    for (;;) {
        DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                        WidePtr(pattern.c_str()), 0, 0, buffer.data(),
                                        static_cast<DWORD>(buffer.size()),
                                        reinterpret_cast<va_list*>(arguments.data()));
        if (length != 0) {
            return BaseString(Utf16Ptr(buffer.data()), length);
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            return {};
        }
        buffer.resize(buffer.size() + 1);
    }
}
