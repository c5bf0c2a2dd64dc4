#include "shell/movable_export.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "shell/file_commands.h"
#include "shell/shell_texts.h"
#include "storage/data_path.h"
#include "storage/record_progress.h"

namespace orbo {
namespace {

// The progress display moves every tenth record.
constexpr int kProgressEvery = 10;

std::size_t At(int i) { return static_cast<std::size_t>(i); }

// A copy keeps the last write time of its source, so SameFile knows it
// again by size and time.
bool CopyKeepingTime(const QString& source, const QString& target) {
  if (!QFile::copy(source, target)) return false;
  // Without its time the copy is still a copy, only not known again later.
  QFile copy(target);
  if (copy.open(QIODevice::ReadWrite))
    copy.setFileTime(QFileInfo(source).lastModified(), QFileDevice::FileModificationTime);
  return true;
}

void CopyRecordValues(Database& db, const QString& oldPath, const QString& filesDir,
                      FileCommandsUi& ui, CopyTally& tally) {
  const QString text = ui.GetText(shell_texts::kCopyingFiles);
  for (int r = 0; r < db.RecordCount; ++r) {
    if (r % kProgressEvery == 0) ui.ShowProgress(r * 100 / db.RecordCount, text);
    RecordData& record = db.Records[At(r)];
    if (record.Folder == BufferFolder) continue;
    const auto& count = db.Forms[At(record.Form)].ElementCount;
    for (int k = 0; k < count[kImage]; ++k) {
      record.ImageValue[At(k)] =
          CopyIntoFilesFolder(record.ImageValue[At(k)], oldPath, filesDir, tally);
    }
    for (int k = 0; k < count[kButton]; ++k) {
      record.ButtonValue[At(k)] =
          CopyIntoFilesFolder(record.ButtonValue[At(k)], oldPath, filesDir, tally);
    }
  }
  ui.ShowProgress(kProgressEnd, {});
}

void CopyUserIcon(const QString& key, const QString& userIcons, const QString& iconsDir,
                  CopyTally& tally) {
  if (!key.startsWith(QLatin1String("New"))) return;
  const QString source = userIcons + u'/' + QString(key).replace(u'\\', u'/');
  const QString target = iconsDir + u'/' + QFileInfo(source).fileName();
  if (!QFileInfo::exists(source)) return;
  QFile::remove(target);
  if (QFile::copy(source, target)) {
    ++tally.copied;
  } else {
    ++tally.failed;
  }
}

}  // namespace

FileStamp StampOf(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return {};
  return {info.size(), info.lastModified().toMSecsSinceEpoch()};
}

bool SameFile(const QString& a, const QString& b) {
  if (a == b) return true;
  const FileStamp stamp = StampOf(a);
  return stamp.size >= 0 && stamp == StampOf(b);
}

QString FilesFolderOf(const QString& databasePath) {
  return databasePath + QStringLiteral("files");
}

QString CopyIntoFilesFolder(const QString& value, const QString& databasePath,
                            const QString& filesDir, CopyTally& tally) {
  const QString source = ResolveDataPath(value, databasePath);
  if (value.isEmpty() || !QFileInfo(source).isFile()) return value;
  QString name = QFileInfo(source).fileName();
  while (QFileInfo::exists(filesDir + u'/' + name) && !SameFile(filesDir + u'/' + name, source)) {
    name = u'c' + name;
  }
  const QString target = filesDir + u'/' + name;
  if (!QFileInfo::exists(target)) {
    if (!CopyKeepingTime(source, target)) {
      ++tally.failed;
      return value;
    }
    ++tally.copied;
  }
  return u'\\' + QFileInfo(filesDir).fileName() + u'\\' + name;
}

void ExportMovable(Database& db, FileCommandsUi& ui, const QString& userIcons) {
  const QString oldPath = db.DatabasePath;
  if (!SaveDatabaseAs(db, ui, file_texts::kExportMovableTitle)) return;
  const QString newPath = db.DatabasePath;
  const QString filesDir = FilesFolderOf(newPath);
  QDir().mkpath(filesDir);
  CopyTally tally;
  // Values still resolve against the folder of the database they came from.
  // The rewritten names are a step the user can take back, and the views
  // show them: a title may be a picture's name.
  ui.ChangeAsStep(ui.GetText(shell_texts::kCopyFilesStep),
                  [&] { CopyRecordValues(db, oldPath, filesDir, ui, tally); });
  ui.ShowChangedTexts();
  SaveDatabase(db, false, ui);
  const QString iconsDir = filesDir + QStringLiteral("/Icons");
  QDir().mkpath(iconsDir);
  for (int f = 0; f < db.FormCount; ++f)
    CopyUserIcon(db.Forms[At(f)].Icon, userIcons, iconsDir, tally);
  for (int d = 0; d < db.FolderCount; ++d)
    CopyUserIcon(db.Folders[At(d)].Icon, userIcons, iconsDir, tally);
  // Single failures do not stop the export, but nobody is left believing
  // that everything moved.
  if (tally.failed > 0)
    ui.ShowMessage(ui.GetText(shell_texts::kFilesNotCopied).arg(tally.failed), kExclamation);
}

}  // namespace orbo
