// Fonts as the model stores them, as Qt fonts, and described for the user.
#pragma once

#include <QFont>

#include "shell/language_texts.h"
#include "storage/database_model.h"

namespace orbo {

// A size of 0 or less keeps the default size.
QFont FontOf(const FontSpec& stored);
// The four stored properties of a font; sizes beyond 16 bits are cut to fit.
FontSpec SpecOf(const QFont& font);
// "DejaVu Sans, 10 pt, bold" with the words of the language texts.
QString DescribeFont(const FontSpec& font, const LanguageTexts& texts);

}  // namespace orbo
