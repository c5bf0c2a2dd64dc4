// Where the settings live and how they are loaded at start and saved.
#pragma once

#include <QString>

#include "shell/app_settings.h"
#include "shell/working_files.h"

namespace orbo {

// "orbo118.ini" in $windir when that is set, else in the user's configuration folder.
QString SettingsFilePath();
// The user's own folder of recovery copies, never beside a database.
QString RecoveryFolderPath();

// Reads the settings file, or data/root.dat on the first start (and then
// creates the settings file). Values the file cannot give keep those of
// root.dat or the built-in ones. Counts the start.
void LoadIni(const WorkingFiles& files, const QString& settingsPath, AppSettings* settings);

// Writes the settings file and its copy data/root.dat.
void SaveIni(const WorkingFiles& files, const QString& settingsPath, const AppSettings& settings);
// The same, for the options dialog: a failure is returned, not fatal.
bool TrySaveIni(const WorkingFiles& files, const QString& settingsPath,
                const AppSettings& settings);

}  // namespace orbo
