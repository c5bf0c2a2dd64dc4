#include "storage/backups.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <utility>

#include "storage/file_paths.h"
#include "storage/save_target.h"
#include "storage/storage_error.h"

namespace orbo {
namespace {

const QString kFolderSuffix = QStringLiteral(".backups");
const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH-mm-ss");
constexpr qint64 kCompareChunk = 1 << 20;

// "N DATE" as written now; "DATE" or "DATE (n)" as earlier versions wrote.
const QRegularExpression& CountedName() {
  static const QRegularExpression pattern(
      QStringLiteral("^(\\d{1,9}) (\\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d)$"));
  return pattern;
}
const QRegularExpression& DatedName() {
  static const QRegularExpression pattern(
      QStringLiteral("^(\\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d)(?: \\((\\d{1,9})\\))?$"));
  return pattern;
}

// What a backup's name holds between the database's name and its extension.
QString Middle(const QFileInfo& database, const QString& name) {
  const QString prefix = database.completeBaseName() + u' ';
  const QString suffix = database.suffix().isEmpty() ? QString() : u'.' + database.suffix();
  if (!name.startsWith(prefix) || !name.endsWith(suffix) ||
      name.size() < prefix.size() + suffix.size())
    return {};
  return name.mid(prefix.size(), name.size() - prefix.size() - suffix.size());
}

std::optional<Backup> BackupNamed(const QFileInfo& database, const QFileInfo& file) {
  const QString middle = Middle(database, file.fileName());
  if (const QRegularExpressionMatch counted = CountedName().match(middle); counted.hasMatch()) {
    return Backup{file.absoluteFilePath(), counted.captured(1).toInt(),
                  QDateTime::fromString(counted.captured(2), kDateFormat)};
  }
  if (const QRegularExpressionMatch dated = DatedName().match(middle); dated.hasMatch())
    return Backup{file.absoluteFilePath(), 0, QDateTime::fromString(dated.captured(1), kDateFormat),
                  dated.captured(2).toInt()};
  return std::nullopt;
}

// The name of the next version kept of target, saved at saved: its number
// one above every backup's, so it is the newest whatever the times say.
QString NextName(const QString& target) {
  const QFileInfo database(target);
  const std::vector<Backup> backups = ListBackups(target);
  const int number = backups.empty() ? 1 : backups.front().number + 1;
  QString name = database.completeBaseName() + u' ' + QString::number(number) + u' ' +
                 database.lastModified().toString(kDateFormat);
  if (!database.suffix().isEmpty()) name += u'.' + database.suffix();
  return QDir(BackupFolderOf(target)).filePath(name);
}

// The backups folder, made when missing: as private as the database, which
// its files are copies of (the reading bits of the file, with the search
// bit beside each; the owner's all).
bool MakeFolderFor(const QString& target) {
  const QString folder = BackupFolderOf(target);
  if (QFileInfo(folder).isDir()) return true;
  struct stat file {};
  const mode_t read = ::stat(QFile::encodeName(target).constData(), &file) == 0
                          ? file.st_mode & 0444
                          : 0444 & NewFileMode();
  const mode_t mode = read | (read >> 2) | 0700;
  return ::mkdir(QFile::encodeName(folder).constData(), mode) == 0;
}

// A hidden temporary in the backups folder, for a backup written whole
// before it takes its name. Those of killed saves go first: the save's
// lock keeps every other save of the database out of the folder.
QString TempIn(const QString& folder) {
  const QDir dir(folder);
  for (const QFileInfo& left : dir.entryInfoList({QStringLiteral(".orbo-backup-*.tmp")},
                                                 QDir::Files | QDir::Hidden | QDir::System)) {
    if (!left.isSymLink()) QFile::remove(left.absoluteFilePath());
  }
  return dir.filePath(QStringLiteral(".orbo-backup-%1.tmp").arg(::getpid()));
}

// Writes what write gives to a private temporary beside name, which takes
// the modification time, mode and owner of the file like (the version it
// holds) and then the name; false, leaving nothing, when a step fails.
bool WriteWhole(const QString& name, const QString& like,
                const std::function<void(const ByteSink&)>& write) {
  const QString temp = TempIn(QFileInfo(name).absolutePath());
  try {
    WritePrivateFile(temp, write);
  } catch (const StorageError&) {
    return false;
  }
  {
    QFile written(temp);
    if (written.open(QIODevice::ReadWrite))
      written.setFileTime(QFileInfo(like).lastModified(), QFileDevice::FileModificationTime);
  }
  if (TakeModeAndOwner(temp, like) &&
      ::rename(QFile::encodeName(temp).constData(), QFile::encodeName(name).constData()) == 0)
    return true;
  QFile::remove(temp);
  return false;
}

bool SameContent(const QByteArray& bytes, const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() != bytes.size()) return false;
  for (qint64 at = 0; at < bytes.size(); at += kCompareChunk) {
    const QByteArray chunk = file.read(kCompareChunk);
    if (chunk.isEmpty() || chunk != QByteArrayView(bytes).sliced(at, chunk.size())) return false;
  }
  return true;
}

void PruneBeyond(const QString& target, int keep) {
  const std::vector<Backup> backups = ListBackups(target);
  for (std::size_t i = static_cast<std::size_t>(std::max(keep, 1)); i < backups.size(); ++i)
    QFile::remove(backups[i].path);
}

}  // namespace

QString BackupFolderOf(const QString& databasePath) {
  return CanonicalFilePath(databasePath) + kFolderSuffix;
}

std::vector<Backup> ListBackups(const QString& databasePath) {
  const QFileInfo database(CanonicalFilePath(databasePath));
  const QDir folder(BackupFolderOf(databasePath));
  std::vector<Backup> backups;
  for (const QFileInfo& file : folder.entryInfoList(QDir::Files | QDir::NoDotAndDotDot)) {
    if (std::optional<Backup> backup = BackupNamed(database, file)) backups.push_back(*backup);
  }
  std::sort(backups.begin(), backups.end(), [](const Backup& a, const Backup& b) {
    if (a.number != b.number) return a.number > b.number;
    if (a.saved != b.saved) return a.saved > b.saved;
    return a.sameSecond != b.sameSecond ? a.sameSecond > b.sameSecond : a.path > b.path;
  });
  return backups;
}

bool SameContent(const QString& a, const QString& b) {
  struct stat first {};
  struct stat second {};
  if (::stat(QFile::encodeName(a).constData(), &first) != 0 ||
      ::stat(QFile::encodeName(b).constData(), &second) != 0 || first.st_size != second.st_size)
    return false;
  if (first.st_dev == second.st_dev && first.st_ino == second.st_ino) return true;
  QFile one(a);
  QFile other(b);
  if (!one.open(QIODevice::ReadOnly) || !other.open(QIODevice::ReadOnly)) return false;
  for (;;) {
    const QByteArray chunk = one.read(kCompareChunk);
    if (chunk != other.read(kCompareChunk)) return false;
    if (chunk.isEmpty()) return one.error() == QFileDevice::NoError;
  }
}

void RemoveLinksToLive(const QString& target) {
  struct stat live {};
  if (::stat(QFile::encodeName(target).constData(), &live) != 0) return;
  for (const Backup& backup : ListBackups(target)) {
    struct stat kept {};
    if (::stat(QFile::encodeName(backup.path).constData(), &kept) == 0 &&
        kept.st_dev == live.st_dev && kept.st_ino == live.st_ino)
      QFile::remove(backup.path);
  }
}

bool NeedsBackup(const QString& target, int keep) {
  if (keep <= 0) return false;
  const std::vector<Backup> backups = ListBackups(target);
  return backups.empty() || !SameContent(target, backups.front().path);
}

bool NeedsBackup(const QString& target, const QByteArray& present, int keep) {
  if (keep <= 0) return false;
  const std::vector<Backup> backups = ListBackups(target);
  return backups.empty() || !SameContent(present, backups.front().path);
}

PendingBackup::~PendingBackup() {
  if (!path_.isEmpty()) QFile::remove(path_);
}

PendingBackup::PendingBackup(PendingBackup&& other) noexcept
    : target_(std::move(other.target_)),
      path_(std::exchange(other.path_, QString())),
      failed_(other.failed_) {}

void PendingBackup::Keep(int keep) {
  if (target_.isEmpty()) return;
  const bool made = !std::exchange(path_, QString()).isEmpty();
  // With backups switched off those kept so far stay. Otherwise the new
  // file is in place, and the newest versions up to the count stay: also
  // after a save that kept none (its version was the newest backup), as a
  // save killed between its backup and its rename leaves one too many.
  if (!made && keep <= 0) return;
  PruneBeyond(target_, keep);
  SyncFolder(BackupFolderOf(target_));
}

PendingBackup PendingBackup::None(const QString& target) {
  PendingBackup none;
  none.target_ = target;
  return none;
}

PendingBackup PendingBackup::Link(const QString& target) {
  PendingBackup backup = None(target);
  if (!MakeFolderFor(target)) {
    backup.failed_ = true;
    return backup;
  }
  const QString name = NextName(target);
  if (::link(QFile::encodeName(target).constData(), QFile::encodeName(name).constData()) == 0) {
    backup.path_ = name;
    return backup;
  }
  QFile source(target);
  if (!source.open(QIODevice::ReadOnly)) {
    backup.failed_ = true;
    return backup;
  }
  return Write(target, [&source](const ByteSink& out) {
    for (;;) {
      const QByteArray chunk = source.read(kCompareChunk);
      if (chunk.isEmpty()) break;
      out(chunk.constData(), chunk.size());
    }
    if (source.error() != QFileDevice::NoError)
      throw StorageError(QStringLiteral("%1 cannot be read").arg(source.fileName()));
  });
}

PendingBackup PendingBackup::Write(const QString& target,
                                   const std::function<void(const ByteSink&)>& write) {
  PendingBackup backup = None(target);
  const QString name = MakeFolderFor(target) ? NextName(target) : QString();
  if (name.isEmpty() || !WriteWhole(name, target, write)) {
    backup.failed_ = true;
    return backup;
  }
  backup.path_ = name;
  return backup;
}

std::vector<Backup> PlainBackups(const QString& target) {
  std::vector<Backup> plain;
  for (const Backup& backup : ListBackups(target)) {
    QFile file(backup.path);
    if (file.open(QIODevice::ReadOnly) && !IsEncryptedFile(file.read(kEncryptedMagicSize)))
      plain.push_back(backup);
  }
  return plain;
}

bool SealBackups(const std::vector<Backup>& backups, SealKey& key) {
  bool all = true;
  for (const Backup& backup : backups) {
    QFile file(backup.path);
    QByteArray plain;
    if (file.open(QIODevice::ReadOnly)) plain = file.readAll();
    const bool read = file.isOpen() && file.error() == QFileDevice::NoError;
    file.close();
    all =
        read &&
        WriteWhole(backup.path, backup.path, [&](const ByteSink& out) { key.Seal(plain, out); }) &&
        all;
    WipeBytes(plain);
  }
  if (!backups.empty()) SyncFolder(QFileInfo(backups.front().path).absolutePath());
  return all;
}

bool RemoveBackups(const std::vector<Backup>& backups) {
  bool all = true;
  for (const Backup& backup : backups) all = QFile::remove(backup.path) && all;
  if (!backups.empty()) SyncFolder(QFileInfo(backups.front().path).absolutePath());
  return all;
}

}  // namespace orbo
