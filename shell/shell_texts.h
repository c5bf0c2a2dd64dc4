// The language texts of the shell's own windows and messages: the start and
// about dialog, the text input dialog, the window title and status bar, the
// places of texts a save refuses, font descriptions, the movable export and
// the files a database names that are missing.
#pragma once

#include "storage/text_id.h"

namespace orbo::shell_texts {

inline constexpr TextId kWelcomeTitle{957, 0};
inline constexpr TextId kCreateNewDatabase{957, 1};
inline constexpr TextId kOpenExampleDatabase{957, 2};
inline constexpr TextId kOpenDatabaseLabel{957, 3};
inline constexpr TextId kShowAtStartUp{957, 4};
inline constexpr TextId kAboutTitle{957, 5};
inline constexpr TextId kProductVersion{957, 6};
inline constexpr TextId kProductDescription{957, 7};
// The licences of the icons and libraries the program is built with.
inline constexpr TextId kIconCredits{996, 0};
inline constexpr TextId kLibraryCredits{996, 1};
inline constexpr TextId kOpenAnotherFile{360, 0};

inline constexpr TextId kEnterTextTitle{961, 0};
inline constexpr TextId kBrowse{597, 0};

// The edit-mode marker of the window title.
inline constexpr TextId kFormDesign{15, 0};
inline constexpr TextId kRecordsCount{100, 1};
inline constexpr TextId kFoldersCount{100, 2};

inline constexpr TextId kRecordFieldPlace{962, 7};
inline constexpr TextId kFolderPlace{962, 8};
inline constexpr TextId kFormPlace{962, 9};
inline constexpr TextId kFormElementPlace{962, 10};
inline constexpr TextId kDatabaseFontPlace{962, 11};

// The files a database names that are missing.
inline constexpr TextId kMissingFiles{999, 0};
inline constexpr TextId kLookForMissingFiles{999, 1};
inline constexpr TextId kFindMissingFilesTitle{999, 2};
inline constexpr TextId kNoMissingFileFound{999, 3};
inline constexpr TextId kMissingFilesFound{999, 4};
inline constexpr TextId kNameFilesFound{999, 5};
inline constexpr TextId kNameFilesFoundStep{999, 6};

inline constexpr TextId kSearchHelp{1000, 0};

// The names of new forms and elements (images, labels, ... in type order).
inline constexpr TextId kNewFormName{1002, 0};
inline constexpr TextId kNewElementNames{1002, 1};

inline constexpr TextId kPointsWord{320, 2};
inline constexpr TextId kBoldWord{320, 3};
inline constexpr TextId kItalicWord{320, 4};

inline constexpr TextId kCopyingFiles{827, 0};
inline constexpr TextId kFilesNotCopied{967, 0};

// The tooltips of Undo and Redo: the step's name, or that there is none.
inline constexpr TextId kUndoItem{975, 0};
inline constexpr TextId kRedoItem{975, 1};
// The Edit menu's items naming the step they take back or do again.
inline constexpr TextId kUndoStepItem{991, 0};
inline constexpr TextId kRedoStepItem{991, 1};
inline constexpr TextId kUndoStep{975, 2};
inline constexpr TextId kRedoStep{975, 3};
inline constexpr TextId kNothingToUndo{975, 4};
inline constexpr TextId kNothingToRedo{975, 5};
// The undo step of the movable export's new file names.
inline constexpr TextId kCopyFilesStep{980, 2};

}  // namespace orbo::shell_texts
