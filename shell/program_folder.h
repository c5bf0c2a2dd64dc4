// Where the program finds its files. A build or portable folder holds them
// beside the binaries and is written in place. An installed copy keeps them
// read-only below share/; it then runs from a folder of the user's, brought
// up to date from the installed files at every start.
#pragma once

#include <QString>

namespace orbo {

inline constexpr auto kInstalledFolderName = "corvane-database";

// The folder with the language files, data and icons: exeDir itself when
// it holds them, else the installed share folder beside it.
QString FindDataFolder(const QString& exeDir);

// Files the running program writes, which an update of the installation
// never replaces in the user's folder.
bool IsUsersFile(const QString& relativePath);

// The program folder to run from: a build or portable folder the program
// may write in, else userFolder after copying into it from the data folder
// what is missing or changed. Empty, with why, when that fails.
QString PrepareProgramFolder(const QString& exeDir, const QString& userFolder, QString* why);

}  // namespace orbo
