// The database every run of the program starts with: one example form, one
// folder and one record that explain the first steps.
#pragma once

#include <QStringList>

#include "storage/database_model.h"
#include "storage/model_defaults.h"

namespace orbo {

// The example's words, in the interface's language.
struct WelcomeWords {
  QString heading;
  QStringList paragraphs;
  QString formNote;
  QString folder;
};

// Empties the model and builds the example. The caller shows record 0 of
// form 0 in folder 0. The form and its elements are named from names.
void NewDatabase(Database& db, const FontSpec& defaultFont, const WelcomeWords& words,
                 const NewNames& names = NewNames());

// Colour value of red, green and blue as the model stores it.
constexpr std::int32_t Rgb(int red, int green, int blue) {
  return red | (green << 8) | (blue << 16);
}

}  // namespace orbo
