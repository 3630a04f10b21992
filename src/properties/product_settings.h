#pragma once

#include "base/string.h"

// The product's settings: what an installation of the product leaves in the
// machine hive for the launcher and its page extensions. Each accessor reads
// its value anew (a running launcher follows an installation started from its
// page) and never throws: a value that is missing, cannot be read or is not a
// string gives the default.
namespace ProductSettings {

// "SOFTWARE\Orvella", value "LangId": the language to show, its identifier in
// lower-case hexadecimal digits ("0407"; Nls::ParseLanguageId reads it).
// Default "": the user's language.
BaseString ForcedLanguage();

// "SOFTWARE\Orvella", value "LangList": the languages that may be shown, each
// written as "LangId" writes it, in a list of any separators ("0409,0407").
// Default "": every language of the product.
BaseString LanguageList();

// "SOFTWARE\Orvella\1.0\InstallDir", default value: the installed product's
// folder. Default "": the product is not installed.
BaseString InstallFolder();

}  // namespace ProductSettings
