// The texts of the main window's title and status bar.
#pragma once

#include <QString>

#include "shell/language_texts.h"
#include "storage/database_model.h"
#include "storage/display_state.h"

namespace orbo {

inline constexpr auto kProductName = "Corvane Database";
inline constexpr auto kProductTitle = " - Corvane Database v1.18";

// The part of a path after its last "\" or "/".
QString FileNameOf(const QString& path);

// "mydata.2db* - Corvane Database v1.18 - [Smith]"
QString WindowTitle(const Database& db, WorkMode mode, int curRecord, const LanguageTexts& texts);

// "Records: 8          Folders: 3"
QString StatusCountsText(const Database& db, const LanguageTexts& texts);

}  // namespace orbo
