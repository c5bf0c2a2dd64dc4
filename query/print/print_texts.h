// The language texts of the print dialog, the print preview, printing
// progress and the print messages.
#pragma once

#include "storage/text_id.h"

namespace orbo::print_texts {

inline constexpr TextId kPrintTitle{470, 0};
inline constexpr TextId kRecordsToPrintLabel{470, 1};
inline constexpr TextId kPreviewButton{470, 2};
inline constexpr TextId kPrinterSetupButton{470, 3};
inline constexpr TextId kReverseOrder{470, 5};
// "Shown record", "All records", ... in the order of the print sets.
inline constexpr TextId kPrintSetNames{472, 0};
inline constexpr TextId kPrintListHeading{473, 0};

inline constexpr TextId kPreviewTitle{474, 0};
inline constexpr TextId kClose{474, 1};
inline constexpr TextId kZoomIn{474, 2};
inline constexpr TextId kZoomOut{474, 3};
inline constexpr TextId kOrientation{474, 4};
inline constexpr TextId kPage{474, 5};
inline constexpr TextId kPrevious{474, 6};
inline constexpr TextId kNext{474, 7};

inline constexpr TextId kNoRecordShownFolderChosen{750, 0};
inline constexpr TextId kNothingToPrint{760, 0};
inline constexpr TextId kPrintToPdfTitle{970, 0};
inline constexpr TextId kPdfFilter{970, 1};
inline constexpr TextId kPdfNotWritten{970, 2};
inline constexpr TextId kPrinterRefusedPages{970, 3};
inline constexpr TextId kPagesOverDatabase{970, 4};
inline constexpr TextId kPrintingPageOf{970, 5};
// Asked before a PDF file of an encrypted database is written.
inline constexpr TextId kPdfUnencrypted{987, 2};

// Names of the steps undo and redo take back.
inline constexpr TextId kMoveOffsetsStep{979, 3};
inline constexpr TextId kResetOffsetsStep{979, 4};

}  // namespace orbo::print_texts
