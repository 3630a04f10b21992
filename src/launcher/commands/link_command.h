#pragma once

#include <string_view>

#include "base/string.h"

// What a link of the page asks the launcher to do. The browser never follows a
// link itself: every navigation URL is read as one of these commands.
struct LinkCommand {
    enum class Kind { kNone, kRun, kInvoke, kQuit };

    Kind kind = Kind::kNone;
    // "run:" the file as written in the link; "invoke:" the class identifier.
    BaseString argument;
};

// Percent-decodes a navigation URL. Web engines deliver the characters of a
// link outside ASCII as escaped UTF-8, so a run of escapes that forms a valid
// UTF-8 sequence gives that character; any other escaped byte gives the Latin-1
// character of its value. A "%" without two characters after it is dropped with
// them; one followed by anything but two hexadecimal digits, or by "00", is
// kept as written. Decoding runs once: "%2541" gives "%41".
BaseString DecodeUrlEscapes(std::u16string_view url);

// Decodes the URL and reads the command, by exact, case-sensitive prefixes:
// "run:" and "invoke:" take the rest of the text as their argument; "quit:"
// must be the whole text. Everything else is no command.
LinkCommand ParseLinkCommand(std::u16string_view url);
