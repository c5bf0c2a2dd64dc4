// The names new forms and elements get in the interface's language.
#pragma once

#include "storage/model_defaults.h"

namespace orbo {

class LanguageTexts;

// The language's names, each one the code page of the database cannot hold
// (a Russian name in a windows-1252 file) left as the built-in one.
NewNames NewNamesIn(const LanguageTexts& texts, const QString& codePageName);

}  // namespace orbo
