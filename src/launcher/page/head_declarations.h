#pragma once

#include <string_view>
#include <vector>

#include "base/string.h"
#include "launcher/page/html_scan.h"

// The page as Windows' web-browser control is to be handed it. The control
// shows a page in Internet Explorer 7's document mode unless the page declares
// another, and a page handed over from memory lies at an "about:" address, so
// its relative addresses reach nothing. Unless the page has its own, two
// declarations go first into its head:
// - <meta http-equiv="X-UA-Compatible" content="IE=edge">: the newest document
//   mode the machine has. The page's own counts only where the control reads
//   it (HonouredModeDeclaration); one it would not read is left as it is, and
//   this one goes before it;
// - <base href="BASE_URL">: relative addresses resolve against BASE_URL (none
//   when it is empty); after the page's own mode declaration when it has one
//   that counts, which an element before it would silence.
// Where the page has no head tag they go after its html tag, else after its
// doctype, else first: the HTML parser puts them into the head all the same.
// One byte-order mark that starts the page is left out: the page goes to the
// control in a stream with a byte-order mark of its own, and a second one
// would be text before the doctype, which puts the page in quirks mode.
BaseString WithHeadDeclarations(std::u16string_view page, std::u16string_view base_url);

// The page's document mode declaration that the control reads: the first one,
// if it comes before every element but html, head, title and meta (closing
// tags, the doctype and comments do not count); null when there is none.
const HtmlTag* HonouredModeDeclaration(const std::vector<HtmlTag>& tags);

// Whether the tag declares a document mode: a meta tag with the http-equiv
// "X-UA-Compatible".
bool IsDocumentModeDeclaration(const HtmlTag& tag);
