// Windows command lines, kept apart from the Windows calls so they are the
// same text on every build.
#include "launcher/commands/start_program.h"

#include "base/ascii_case.h"

namespace {

bool NeedsQuotes(std::u16string_view argument) {
    return argument.empty() || argument.find_first_of(u" \t\n\v\"") != argument.npos;
}

void AppendQuoted(std::u16string_view argument, BaseString& line) {
    if (!NeedsQuotes(argument)) {
        line += argument;
        return;
    }
    line += u'"';
    size_t backslashes = 0;
    for (char16_t c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are escapes: each is doubled, and the
        // quote gets one of its own.
        size_t count = c == u'"' ? backslashes * 2 + 1 : backslashes;
        for (size_t i = 0; i < count; ++i) {
            line += u'\\';
        }
        backslashes = 0;
        line += c;
    }
    // Before the closing quote too.
    for (size_t i = 0; i < backslashes * 2; ++i) {
        line += u'\\';
    }
    line += u'"';
}

}  // namespace

bool IsBatchFile(std::u16string_view program) {
    while (!program.empty() && (program.back() == u'.' || program.back() == u' ')) {
        program.remove_suffix(1);
    }
    return Base::EndsWithIgnoringAsciiCase(program, u".bat") ||
           Base::EndsWithIgnoringAsciiCase(program, u".cmd");
}

BaseString JoinCommandLine(const std::vector<BaseString>& arguments) {
    BaseString line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) {
            line += u' ';
        }
        AppendQuoted(arguments[i].view(), line);
    }
    return line;
}
