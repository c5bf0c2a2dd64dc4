// The language texts the application window shows itself: its file, icon
// and password dialogs, status bar panels and start-up messages.
#pragma once

#include "storage/text_id.h"

namespace orbo::app_texts {

inline constexpr TextId kImportIconTitle{960, 8};
inline constexpr TextId kPictureUnreadable{961, 4};
inline constexpr TextId kLoadingIcons{840, 0};
inline constexpr TextId kAskPassword{680, 0};
inline constexpr TextId kGridPanel{100, 3};
inline constexpr TextId kAnotherInstanceRunning{365, 0};
// The code page of the language's database files, such as windows-1252.
inline constexpr TextId kCodePage{963, 0};
// The locale whose translations of Qt's own words the standard dialogs show.
inline constexpr TextId kQtLocale{995, 0};
inline constexpr TextId kRestartForLanguage{995, 1};
// The file dialogs' filter of database files: "name (*.2db)|*.2db".
inline constexpr TextId kDatabaseFilter{995, 3};
// The new database's example: its heading, four paragraphs, the note on
// the form and the folder's name.
inline constexpr TextId kWelcomeHeading{997, 0};
inline constexpr TextId kWelcomeParagraphs{997, 1};
inline constexpr TextId kWelcomeFormNote{997, 5};
inline constexpr TextId kWelcomeFolder{997, 6};
inline constexpr TextId kMoveDividerStep{975, 6};
inline constexpr TextId kRecoverChanges{985, 14};
inline constexpr TextId kKeepRecoveryCopy{985, 15};

}  // namespace orbo::app_texts
