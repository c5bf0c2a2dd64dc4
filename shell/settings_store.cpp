#include "shell/settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdint>
#include <limits>

#include "shell/recent_files.h"
#include "shell/settings_file.h"

namespace orbo {
namespace {

constexpr auto kRootCopy = "data\\root.dat";

// The text of the settings file, once its folder exists.
QString PrepareSettingsText(const QString& settingsPath, const AppSettings& settings) {
  QDir().mkpath(QFileInfo(settingsPath).absolutePath());
  return SettingsToText(settings);
}

}  // namespace

QString SettingsFilePath() {
  QString folder = qEnvironmentVariable("windir");
  if (folder.isEmpty())
    folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return QDir(folder).filePath(QStringLiteral("orbo118.ini"));
}

void LoadIni(const WorkingFiles& files, const QString& settingsPath, AppSettings* settings) {
  const QString rootCopy = files.Below(kRootCopy);
  const bool firstStart = !QFileInfo::exists(settingsPath);
  if (firstStart || QFileInfo::exists(rootCopy)) {
    // root.dat is the fallback for whatever a damaged settings file lacks.
    std::optional<QStringList> lines = files.ReadLines(rootCopy, QStringLiteral("LoadINI"));
    if (!lines) return;
    SettingsFromText(lines->join(u'\n'), settings);
  }
  if (!firstStart) {
    std::optional<QStringList> lines = files.ReadLines(settingsPath, QStringLiteral("LoadINI"));
    if (!lines) return;
    SettingsFromText(lines->join(u'\n'), settings);
  }
  // Counts up to its largest value and stays there.
  if (settings->StartCount < std::numeric_limits<std::int32_t>::max()) settings->StartCount += 1;
  if (settings->RecentFiles[0] == u"ex") {
    settings->RecentFiles[0] =
        RecentFileKey(files.Below(QStringLiteral("data\\examples\\ex1.2db")));
  }
  if (firstStart) SaveIni(files, settingsPath, *settings);
}

void SaveIni(const WorkingFiles& files, const QString& settingsPath, const AppSettings& settings) {
  const QString text = PrepareSettingsText(settingsPath, settings);
  if (files.WriteText(settingsPath, text, QStringLiteral("SaveINI1"))) {
    files.WriteText(files.Below(kRootCopy), text, QStringLiteral("SaveINI2"));
  }
}

bool TrySaveIni(const WorkingFiles& files, const QString& settingsPath,
                const AppSettings& settings) {
  const QString text = PrepareSettingsText(settingsPath, settings);
  return WorkingFiles::TryWriteText(settingsPath, text) &&
         WorkingFiles::TryWriteText(files.Below(kRootCopy), text);
}

}  // namespace orbo
