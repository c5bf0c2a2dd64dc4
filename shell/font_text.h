// A stored font described for the user, in the words of the language texts.
#pragma once

#include <QString>

#include "shell/language_texts.h"
#include "storage/database_model.h"

namespace orbo {

// "DejaVu Sans, 10 pt, bold".
QString DescribeFont(const FontSpec& font, const LanguageTexts& texts);

}  // namespace orbo
