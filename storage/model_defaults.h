// The values a new form, element or folder starts with. The routines that
// create them (designer, navigation) call these on the slot they fill.
#pragma once

#include "storage/database_model.h"

namespace orbo {

// The names new forms and elements get, "%1" standing for their number;
// the interface's language gives its own where the code page holds them.
struct NewNames {
  QString form = QStringLiteral("Form %1");
  std::array<QString, kElementTypeCount> elements{
      QStringLiteral("Image %1"),         QStringLiteral("Label %1"), QStringLiteral("Text %1"),
      QStringLiteral("Button %1"),        QStringLiteral("Combo %1"), QStringLiteral("Flag %1"),
      QStringLiteral("Multiline Text %1")};
};

// Gives element (type, slot) of the form its defaults; fields a type leaves
// unchanged keep what the slot held.
void ApplyNewElementDefaults(FormDef& form, int type, int slot, const FontSpec& defaultFont,
                             const NewNames& names = NewNames());

// Gives form n its defaults, including its first text element.
void ApplyNewFormDefaults(FormDef& form, int n, const FontSpec& defaultFont,
                          const NewNames& names = NewNames());

void ApplyNewFolderDefaults(FolderDef& folder, int n);

}  // namespace orbo
