#pragma once

#include <string_view>

#include "base/string.h"
#include "launcher/page/html_scan.h"

// The page as Windows' web-browser control is to be handed it. The control
// shows a page in Internet Explorer 7's document mode unless the page declares
// another, and a page handed over from memory lies at an "about:" address, so
// its relative addresses reach nothing. Unless the page has its own, two
// declarations go first into its head (the control reads a document mode only
// before the head's other elements):
// - <meta http-equiv="X-UA-Compatible" content="IE=edge">: the newest document
//   mode the machine has;
// - <base href="BASE_URL">: relative addresses resolve against BASE_URL (none
//   when it is empty).
// Where the page has no head tag they go after its html tag, else after its
// doctype, else first: the HTML parser puts them into the head all the same.
BaseString WithHeadDeclarations(std::u16string_view page, std::u16string_view base_url);

// Whether the tag declares a document mode: a meta tag with the http-equiv
// "X-UA-Compatible".
bool IsDocumentModeDeclaration(const HtmlTag& tag);
