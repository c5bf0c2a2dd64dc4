// What the user is told of a save or a load that failed: which file, what
// failed, why in their own words (the system's reason where it gave one) and
// what is safe.
#pragma once

#include <QString>

#include "shell/file_commands_ui.h"
#include "storage/database_file.h"

namespace orbo {

// The system's reason (an errno) in the user's words.
QString ReasonText(int systemError, FileCommandsUi& ui);

// The whole message of a failed save, starting "Error while saving file".
QString SaveFailureText(const WriteOutcome& outcome, const QString& path, FileCommandsUi& ui);

// The whole message of a file that could not be loaded or merged.
QString ReadFailureText(ReadOutcome::Fault fault, int systemError, bool passwordTried,
                        const QString& path, FileCommandsUi& ui);

// The first line of every failed save.
QString SaveFailedLine();

}  // namespace orbo
