#pragma once

#include "base/string.h"
#include "check/findings.h"
#include "check/medium.h"

// The checks across the two files, run on a medium read as far as it could be.

// Items whose name has no block (they do not appear); blocks no item uses.
void CheckBlocks(const Medium& medium, Findings& findings);

// Translation keys used by the template or by the items' attributes that some
// language, or every language, leaves undefined; keys defined but never used.
void CheckKeys(const Medium& medium, Findings& findings);

// The page's links and the page-extension classes its elements are bound to.
// `launcher` is the path the launcher has on the medium: "run:" targets are
// resolved against it.
void CheckLinks(const Medium& medium, const BaseString& launcher, Findings& findings);

// The medium's page-extension declarations: what the file gets wrong, and
// classes it declares that the page never uses.
void CheckExtensions(const Medium& medium, Findings& findings);

// What Windows' web-browser control shows differently, as far as the page's
// text tells: a page in quirks mode or in an older document mode, and styles,
// pictures and script syntax its engine does not take, in the template and in
// the style sheets and scripts of the medium it loads.
void CheckWindows(const Medium& medium, Findings& findings);

// The medium's Linux plug-ins (rsc/plugins/*.so) that need a newer C library
// than the Linux launcher `launcher` beside them (Linux tool only: the reader
// of ELF files is Linux's).
void CheckLinuxFiles(const BaseString& launcher, Findings& findings);

// The Windows programs and DLLs of the medium (every "*.exe" and "*.dll" below
// the current directory) that carry no Authenticode signature, or a damaged
// one: Smart App Control and SmartScreen stop them.
void CheckSignatures(Findings& findings);
