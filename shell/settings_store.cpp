#include "shell/settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
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

// The settings the fixed lines of the settings file have no room for.
QString SafetyFilePath(const QString& settingsPath) {
  return QFileInfo(settingsPath).dir().filePath(QStringLiteral("orbo-safety.ini"));
}

// A list, not keys: a path is no QSettings key.
void LoadCodePages(QSettings& file, AppSettings* settings) {
  const int count = file.beginReadArray(QStringLiteral("CodePages"));
  for (int i = 0; i < count; ++i) {
    file.setArrayIndex(i);
    const QString path = file.value(QStringLiteral("File")).toString();
    const QString name = file.value(QStringLiteral("CodePage")).toString();
    if (!path.isEmpty() && !name.isEmpty()) settings->FileCodePages[path] = name;
  }
  file.endArray();
}

void SaveCodePages(QSettings& file, const AppSettings& settings) {
  file.remove(QStringLiteral("CodePages"));
  file.beginWriteArray(QStringLiteral("CodePages"),
                       static_cast<int>(settings.FileCodePages.size()));
  int i = 0;
  for (auto it = settings.FileCodePages.cbegin(); it != settings.FileCodePages.cend(); ++it) {
    file.setArrayIndex(i++);
    file.setValue(QStringLiteral("File"), it.key());
    file.setValue(QStringLiteral("CodePage"), it.value());
  }
  file.endArray();
}

void LoadSafety(const QString& settingsPath, AppSettings* settings) {
  QSettings file(SafetyFilePath(settingsPath), QSettings::IniFormat);
  bool ok = false;
  const int backups = file.value(QStringLiteral("Backups")).toInt(&ok);
  if (ok) settings->BackupsKept = std::clamp(backups, 0, kMaxBackups);
  const int minutes = file.value(QStringLiteral("RecoveryMinutes")).toInt(&ok);
  if (ok) settings->RecoveryMinutes = std::clamp(minutes, 0, kMaxRecoveryMinutes);
  settings->RecordTable = file.value(QStringLiteral("RecordTable")).toBool();
  LoadCodePages(file, settings);
}

bool SaveSafety(const QString& settingsPath, const AppSettings& settings) {
  QSettings file(SafetyFilePath(settingsPath), QSettings::IniFormat);
  file.setValue(QStringLiteral("Backups"), settings.BackupsKept);
  file.setValue(QStringLiteral("RecoveryMinutes"), settings.RecoveryMinutes);
  file.setValue(QStringLiteral("RecordTable"), settings.RecordTable);
  SaveCodePages(file, settings);
  file.sync();
  return file.status() == QSettings::NoError;
}

}  // namespace

QString SettingsFilePath() {
  QString folder = qEnvironmentVariable("windir");
  if (folder.isEmpty())
    folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return QDir(folder).filePath(QStringLiteral("orbo118.ini"));
}

QString RecoveryFolderPath() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
      .filePath(QStringLiteral("orbo-recovery"));
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
  LoadSafety(settingsPath, settings);
  if (firstStart) SaveIni(files, settingsPath, *settings);
}

void SaveIni(const WorkingFiles& files, const QString& settingsPath, const AppSettings& settings) {
  const QString text = PrepareSettingsText(settingsPath, settings);
  if (files.WriteText(settingsPath, text, QStringLiteral("SaveINI1"))) {
    files.WriteText(files.Below(kRootCopy), text, QStringLiteral("SaveINI2"));
    SaveSafety(settingsPath, settings);
  }
}

bool TrySaveIni(const WorkingFiles& files, const QString& settingsPath,
                const AppSettings& settings) {
  const QString text = PrepareSettingsText(settingsPath, settings);
  return WorkingFiles::TryWriteText(settingsPath, text) &&
         WorkingFiles::TryWriteText(files.Below(kRootCopy), text) &&
         SaveSafety(settingsPath, settings);
}

}  // namespace orbo
