#include "storage/database_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <mutex>
#include <new>

#include "storage/backups.h"
#include "storage/code_page_detection.h"
#include "storage/database_body.h"
#include "storage/encrypted_file.h"
#include "storage/file_paths.h"
#include "storage/memory_file.h"
#include "storage/model_invariants.h"
#include "storage/storable_text.h"
#include "storage/storage_error.h"
#include "storage/stored_content.h"
#include "storage/stream_library.h"

namespace orbo {
namespace {

// Why password cannot be the key of a file in codePage; empty when it can.
QString PasswordRefusal(const QString& password, CodePage& codePage) {
  switch (CheckPasswordKey(password, codePage)) {
    case PasswordFault::kEmpty:
      return QStringLiteral("a protected database needs a password");
    case PasswordFault::kNul:
      return QStringLiteral("the password holds a NUL character");
    case PasswordFault::kUnencodable:
      return QStringLiteral("the password has a character %1 cannot hold").arg(codePage.Name());
    case PasswordFault::kNone:
      break;
  }
  return {};
}

QByteArray EncodePassword(const QString& password, CodePage& codePage) {
  const QString refusal = PasswordRefusal(password, codePage);
  if (!refusal.isEmpty()) throw StorageError(refusal);
  QByteArray key;
  codePage.Encode(password, &key);
  return key;
}

std::filesystem::path FsPath(const QString& path) {
  return std::filesystem::path(path.toStdU16String());
}

// Runs the body of a read or write and turns whatever it raises into an
// error text, and the system's reason where it gave one.
template <typename Body>
QString Guarded(Body body, int* systemError = nullptr) {
  try {
    body();
    return {};
  } catch (const StorageError& e) {
    if (systemError) *systemError = e.SystemError();
    return e.Message();
  } catch (const std::bad_alloc&) {
    if (systemError) *systemError = ENOMEM;
    return QStringLiteral("not enough memory");
  } catch (const std::exception& e) {
    return QString::fromLocal8Bit(e.what());
  }
}

// Closes the input stream however the read ends.
class InputCloser {
 public:
  ~InputCloser() {
    try {
      stream::CloseInput();
    } catch (const StorageError&) {
      // Nothing was opened without the library.
    }
  }
};

// The storage library reads or writes one file at a time for the whole
// process: a recovery copy written on a thread of its own waits for a save
// or a load, and they for it.
std::mutex& StreamLibraryLock() {
  static std::mutex lock;
  return lock;
}

// The reason a write through the storage library failed. The library says
// only that it did; errno still holds what the system said, where it is a
// reason a write gives (the window's event loop may have left another).
int WriteFailureReason(const QString& path) {
  const int error = errno;
  for (const int reason : {ENOSPC, EDQUOT, EIO, EFBIG, EROFS, EACCES, EPERM}) {
    if (error == reason) return error;
  }
  struct statvfs disk {};
  const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
  if (::statvfs(folder.constData(), &disk) == 0 && disk.f_bavail == 0) return ENOSPC;
  return 0;
}

// The classic file: the header word, then the body scrambled with the
// password when scrambled, else with the library's key.
void WriteClassicFile(const Database& db, const QString& path, bool scrambled, CodePage& codePage,
                      const RecordProgress& progress) {
  const std::lock_guard<std::mutex> held(StreamLibraryLock());
  errno = 0;
  if (stream::OpenWrite(QFile::encodeName(path)) == -1) {
    const int reason = WriteFailureReason(path);
    throw StorageError(
        QStringLiteral("%1 cannot be created: %2").arg(path, SystemErrorText(reason)), reason);
  }
  bool closed = false;
  try {
    // A failed header word sets the stream's error, which the close reports.
    stream::WriteH4(scrambled ? kHeaderPassword : kHeaderDefaultKey);
    if (scrambled) stream::SetPassword(EncodePassword(db.Password, codePage));
    StreamWriter out(codePage);
    WriteDatabaseBody(db, out, progress);
    closed = true;
    if (!stream::CloseWrite()) {
      const int reason = WriteFailureReason(path);
      throw StorageError(QStringLiteral("writing %1 failed: %2").arg(path, SystemErrorText(reason)),
                         reason);
    }
  } catch (...) {
    if (!closed) stream::CloseWrite();
    throw;
  }
}

// Writes what write gives over the file at path and syncs it.
void WriteDurably(const QString& path, const std::function<void(const ByteSink&)>& write) {
  QFile file(path);
  const auto failed = [&path](const QString& what) {
    const int reason = errno;
    return StorageError(what.arg(path, SystemErrorText(reason)), reason);
  };
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    throw failed(QStringLiteral("%1 cannot be created: %2"));
  write([&](const char* data, qsizetype size) {
    if (file.write(data, size) != size) throw failed(QStringLiteral("writing %1 failed: %2"));
  });
  if (!file.flush() || ::fsync(file.handle()) != 0)
    throw failed(QStringLiteral("writing %1 failed: %2"));
  file.close();
  if (file.error() != QFileDevice::NoError) throw failed(QStringLiteral("writing %1 failed: %2"));
}

// Waits for a key derived on another thread, keeping the display alive.
std::unique_ptr<SealKey> Awaited(std::future<std::unique_ptr<SealKey>>& key,
                                 const RecordProgress& progress) {
  while (key.wait_for(std::chrono::milliseconds(40)) != std::future_status::ready) progress.Pulse();
  return key.get();
}

// Writes db's file to path. An encrypted database holds the classic file
// with the library's key; it is made in memory, so no plain byte of it
// reaches the disk, and the key it was sealed with is given back for the
// backups of this save.
std::unique_ptr<SealKey> WriteStream(const Database& db, const QString& path, CodePage& codePage,
                                     const RecordProgress& progress, const KeyCost& cost) {
  if (!IsEncrypted(db)) {
    WriteClassicFile(db, path, db.PasswordOn, codePage, progress);
    return nullptr;
  }
  // The key is derived while the classic file is written: a save costs
  // little more than the derivation alone.
  std::future<std::unique_ptr<SealKey>> key = std::async(
      std::launch::async,
      [password = db.Password, cost] { return std::make_unique<SealKey>(password, cost); });
  MemoryFile plain;
  // Should the write throw, the future waits for the derivation as it goes.
  WriteClassicFile(db, plain.Path(), false, codePage, progress);
  std::unique_ptr<SealKey> seal = Awaited(key, progress);
  const QByteArrayView bytes = plain.Map();
  WriteDurably(path, [&](const ByteSink& out) { seal->Seal(bytes, out); });
  return seal;
}

// Why db cannot be written in codePage: it breaks the model's rules, or its
// password cannot be a key. Empty when it can.
QString WriteRefusal(const Database& db, CodePage& codePage) {
  const std::vector<ModelProblem> problems = FindModelProblems(db, 1);
  if (!problems.empty()) return DescribeProblem(problems.front());
  return db.PasswordOn ? PasswordRefusal(db.Password, codePage) : QString();
}

// A refused save the user is told about in words of its own.
class SaveRefused : public StorageError {
 public:
  SaveRefused(WriteOutcome::Fault why, const QString& message)
      : StorageError(message), fault(why) {}
  WriteOutcome::Fault fault;
};

void ThrowIfChanged(const QString& target, const FileIdentity& before) {
  if (IdentityOf(target) == before) return;
  throw SaveRefused(
      WriteOutcome::kChangedMeanwhile,
      QStringLiteral("%1 was changed by another program while the database was being saved")
          .arg(target));
}

// The written file loads as db, with each NUL a space as the file holds it.
void VerifyWritten(const Database& db, const QString& target, CodePage& codePage) {
  Database expected = db;
  MakeTextsStorable(expected, codePage);
  const ReadOutcome read = ReadDatabaseFile(target, codePage, db.Password);
  // The protection too: a file that lost it would still read back.
  if (read.status != ReadOutcome::kLoaded || read.repairs.Total() > 0 ||
      read.db.PasswordOn != db.PasswordOn || read.db.Encrypted != IsEncrypted(db) ||
      !StoredDifference(read.db, expected).isEmpty()) {
    throw StorageError(QStringLiteral("%1 does not read back as it was written").arg(target));
  }
}

QByteArray ReadWhole(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    const int reason = errno;
    throw StorageError(QStringLiteral("%1 cannot be read: %2").arg(path, SystemErrorText(reason)),
                       reason);
  }
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw StorageError(QStringLiteral("%1 cannot be read").arg(path), errno);
  return bytes;
}

// Puts bytes back into the file and its modification time with them: the
// file is again what it was, also to the program's watch on it.
bool PutBack(const QString& target, const QByteArray& bytes, const FileIdentity& before) {
  const bool written =
      Guarded([&] {
        WriteDurably(target, [&](const ByteSink& out) { out(bytes.constData(), bytes.size()); });
      }).isEmpty();
  if (written) {
    const timespec times[2] = {{0, UTIME_OMIT},
                               {static_cast<time_t>(before.modifiedNs / 1000000000),
                                static_cast<long>(before.modifiedNs % 1000000000)}};
    ::utimensat(AT_FDCWD, QFile::encodeName(target).constData(), times, 0);
  }
  return written;
}

// One save of db to one file, step by step; the outcome says how far it came.
class Save {
 public:
  Save(const Database& db, CodePage& codePage, const SaveOptions& options, WriteOutcome& outcome)
      : db_(db), codePage_(codePage), options_(options), outcome_(outcome) {}

  void Run(const QString& path) {
    const QString refusal = WriteRefusal(db_, codePage_);
    if (!refusal.isEmpty()) throw StorageError(refusal);
    // Saving through a link replaces what it points at, not the link.
    const std::optional<QString> target = FollowLinks(path);
    if (!target) throw StorageError(QStringLiteral("%1: too many symbolic links").arg(path));
    target_ = *target;
    outcome_.target = target_;
    outcome_.backupFolder = BackupFolderOf(target_);
    before_ = IdentityOf(target_);
    if (before_.exists && IsWriteProtected(target_)) {
      throw SaveRefused(WriteOutcome::kWriteProtected,
                        QStringLiteral("%1 is write-protected").arg(target_));
    }
    replacedPlain_ = IsEncrypted(db_) && before_.exists && !IsEncryptedDatabaseFile(target_);
    outcome_.stage = WriteOutcome::kLocking;
    SaveLock lock(target_);
    QString tempPath;
    switch (lock.Take()) {
      case SaveLock::kHeldByAnother:
        throw SaveRefused(WriteOutcome::kSavedByAnother,
                          QStringLiteral("%1 is being saved by another program").arg(target_));
      case SaveLock::kFailed:
        throw StorageError(QStringLiteral("no lock can be taken beside %1: %2")
                               .arg(target_, SystemErrorText(lock.SystemError())),
                           lock.SystemError());
      case SaveLock::kTaken:
        RemoveStaleTemps(target_);
        outcome_.stage = WriteOutcome::kCreating;
        tempPath = options_.createTemp(target_);
        break;
      case SaveLock::kFolderTakesNoFile:
        break;
    }
    RemoveLinksToLive(target_);
    if (tempPath.isEmpty()) {
      if (!before_.exists) {
        throw StorageError(
            QStringLiteral("%1 cannot be created: its folder takes no new file").arg(target_),
            EACCES);
      }
      WriteInPlace();
      outcome_.inPlace = true;
      return;
    }
    try {
      Replace(tempPath);
    } catch (...) {
      // While the lock is held, so no other save meets it.
      QFile::remove(tempPath);
      throw;
    }
  }

 private:
  // Whether the version at target is one to keep: not of an unchanged
  // database, and not what the newest backup or the new file holds already.
  bool WorthKeeping(const QString& tempPath) const {
    if (options_.keepBackups <= 0) return false;
    if (options_.unchangedFile.exists && options_.unchangedFile == before_) return false;
    if (replacedPlain_ && options_.removePlainBackups) return false;
    return !SameContent(target_, tempPath) && NeedsBackup(target_, options_.keepBackups);
  }

  // Keeps the version about to be replaced: sealed when it is in the clear
  // and the database is encrypted now, else a link to the file the rename
  // takes away.
  PendingBackup Backup(const QString& tempPath) {
    if (!WorthKeeping(tempPath)) return PendingBackup::None(target_);
    if (!replacedPlain_) return PendingBackup::Link(target_);
    QByteArray plain = ReadWhole(target_);
    PendingBackup sealed =
        PendingBackup::Write(target_, [&](const ByteSink& out) { seal_->Seal(plain, out); });
    WipeBytes(plain);
    return sealed;
  }

  void Replace(const QString& tempPath) {
    outcome_.stage = WriteOutcome::kWriting;
    seal_ = WriteStream(db_, tempPath, codePage_, options_.progress, options_.keyCost);
    if (!TakeModeAndOwner(tempPath, target_)) {
      const int reason = errno;
      if (before_.exists) {
        throw StorageError(
            QStringLiteral("%1 cannot be given the mode of %2").arg(tempPath, target_), reason);
      }
      ::chmod(QFile::encodeName(tempPath).constData(),
              options_.privateNewFile ? 0600 : NewFileMode());
    }
    outcome_.stage = WriteOutcome::kReplacing;
    ThrowIfChanged(target_, before_);
    PendingBackup backup = before_.exists ? Backup(tempPath) : PendingBackup::None(target_);
    std::error_code error;
    std::filesystem::rename(FsPath(tempPath), FsPath(target_), error);
    if (error) {
      throw StorageError(QStringLiteral("%1 cannot be replaced: %2")
                             .arg(target_, QString::fromLocal8Bit(error.message())),
                         error.value());
    }
    // The new name is durable before any older version goes.
    SyncFolder(QFileInfo(target_).absolutePath());
    Finish(backup);
  }

  // No temporary can keep the old file whole while the new one is written,
  // so its bytes are kept here until the new ones read back as db.
  void WriteInPlace() {
    const InPlaceLock lock(target_);
    if (!lock.Taken()) {
      throw SaveRefused(WriteOutcome::kSavedByAnother,
                        QStringLiteral("%1 is being saved by another program").arg(target_));
    }
    const QByteArray old = ReadWhole(target_);
    ThrowIfChanged(target_, before_);
    const bool worth = options_.keepBackups > 0 &&
                       !(options_.unchangedFile.exists && options_.unchangedFile == before_) &&
                       !(replacedPlain_ && options_.removePlainBackups) &&
                       NeedsBackup(target_, old, options_.keepBackups);
    // A copy, never a link: the file itself is about to change. Sealed
    // later with the key of this save when it is in the clear.
    PendingBackup backup =
        worth ? PendingBackup::Write(target_,
                                     [&](const ByteSink& out) { out(old.constData(), old.size()); })
              : PendingBackup::None(target_);
    outcome_.stage = WriteOutcome::kWriting;
    int reason = 0;
    const QString failure = Guarded(
        [&] {
          seal_ = WriteStream(db_, target_, codePage_, options_.progress, options_.keyCost);
          outcome_.stage = WriteOutcome::kReadingBack;
          VerifyWritten(db_, target_, codePage_);
        },
        &reason);
    if (failure.isEmpty()) {
      Finish(backup);
      return;
    }
    if (!PutBack(target_, old, before_)) {
      throw SaveRefused(WriteOutcome::kNotRestored,
                        failure + QStringLiteral("; the previous contents could not be put back"));
    }
    outcome_.written = IdentityOf(target_);
    outcome_.systemError = reason;
    throw SaveRefused(WriteOutcome::kPutBack,
                      failure + QStringLiteral("; the previous contents were put back"));
  }

  // The new file is in place: the backup stays, the oldest beyond the count
  // go, and an encrypted database keeps no backup in the clear.
  void Finish(PendingBackup& backup) {
    outcome_.backupKept = !backup.Failed();
    outcome_.backupMade = backup.Made();
    backup.Keep(options_.keepBackups);
    if (!IsEncrypted(db_)) return;
    const std::vector<orbo::Backup> plain = PlainBackups(target_);
    outcome_.plainBackupsDone =
        options_.removePlainBackups ? RemoveBackups(plain) : SealBackups(plain, *seal_);
  }

  const Database& db_;
  CodePage& codePage_;
  const SaveOptions& options_;
  WriteOutcome& outcome_;
  QString target_;
  FileIdentity before_;
  // The file replaced is in the clear, and the database is encrypted now.
  bool replacedPlain_ = false;
  std::unique_ptr<SealKey> seal_;
};

}  // namespace

PasswordFault CheckPasswordKey(const QString& password, CodePage& codePage) {
  // The stream ignores an empty key, which would leave a protected file
  // scrambled with the built-in key and readable with no password.
  if (password.isEmpty()) return PasswordFault::kEmpty;
  // The key ends at a zero byte: the rest of the password would not count.
  if (password.contains(QChar(0))) return PasswordFault::kNul;
  QByteArray key;
  return codePage.Encode(password, &key) ? PasswordFault::kNone : PasswordFault::kUnencodable;
}

WriteOutcome WriteDatabaseFile(const Database& db, const QString& path, CodePage& codePage,
                               const SaveOptions& options) {
  WriteOutcome outcome;
  int reason = 0;
  outcome.error = Guarded(
      [&] {
        try {
          Save(db, codePage, options, outcome).Run(path);
        } catch (const SaveRefused& refused) {
          outcome.fault = refused.fault;
          throw;
        }
      },
      &reason);
  // Whatever ran last (a key derived after the records were written kept the
  // display alive), the save's progress ends with it.
  options.progress.End();
  outcome.ok = outcome.error.isEmpty();
  if (outcome.ok) {
    outcome.fault = WriteOutcome::kNone;
    outcome.written = IdentityOfDatabaseFile(path);
  } else if (outcome.systemError == 0) {
    outcome.systemError = reason;
  }
  return outcome;
}

FileIdentity IdentityOfDatabaseFile(const QString& path) {
  const std::optional<QString> target = FollowLinks(path);
  return target ? IdentityOf(*target) : FileIdentity{};
}

namespace {

// Reads the classic file at streamPath into outcome; password opens it
// when its header says it is protected.
void ReadClassicFile(const QString& streamPath, CodePage& codePage, const QString& password,
                     const RecordProgress& progress, ReadOutcome& outcome) {
  const std::lock_guard<std::mutex> held(StreamLibraryLock());
  if (stream::OpenInput(QFile::encodeName(streamPath)) == -1) {
    throw StorageError(QStringLiteral("the file cannot be opened"));
  }
  InputCloser closer;
  if (!stream::InputH4(&outcome.header)) {
    throw StorageError(QStringLiteral("the file is shorter than its header word"));
  }
  if (outcome.header != kHeaderDefaultKey && outcome.header != kHeaderPassword) {
    throw StorageError(QStringLiteral("header word %1 is neither %2 nor %3")
                           .arg(outcome.header)
                           .arg(kHeaderDefaultKey)
                           .arg(kHeaderPassword));
  }
  if (outcome.header == kHeaderPassword) {
    if (password.isEmpty()) {
      outcome.status = ReadOutcome::kNeedsPassword;
      return;
    }
    outcome.passwordTried = true;
    stream::SetPassword(EncodePassword(password, codePage));
  }
  StreamReader in(codePage);
  outcome.db = ReadDatabaseBody(in, progress);
  outcome.db.PasswordOn = outcome.header == kHeaderPassword;
  outcome.status = ReadOutcome::kLoaded;
}

// The classic file inside the container at path, read through a file in
// memory; nothing is read when the password or any byte is wrong.
void ReadEncryptedFile(const QString& path, CodePage& codePage, const QString& password,
                       const RecordProgress& progress, ReadOutcome& outcome) {
  if (password.isEmpty()) {
    outcome.status = ReadOutcome::kNeedsPassword;
    return;
  }
  outcome.passwordTried = true;
  // Read, not mapped: a file cut short by another program meanwhile would
  // end a mapped read with a signal.
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw StorageError(QStringLiteral("the file cannot be opened"));
  const QByteArray sealed = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw StorageError(QStringLiteral("the file cannot be read"));
  MemoryFile plainFile;
  try {
    OpenSealedFile(
        sealed, password,
        [&plainFile](const char* data, qsizetype length) { plainFile.Append(data, length); },
        [&progress] { progress.Pulse(); });
  } catch (const SealError& refused) {
    switch (refused.GetKind()) {
      case SealError::kWrongPasswordOrDamaged:
        outcome.fault = ReadOutcome::kWrongPassword;
        break;
      case SealError::kTooCostly:
        outcome.fault = ReadOutcome::kTooCostly;
        break;
      case SealError::kUnknownFormat:
        outcome.fault = ReadOutcome::kUnknownKind;
        break;
    }
    throw;
  }
  ReadClassicFile(plainFile.Path(), codePage, password, progress, outcome);
  outcome.db.PasswordOn = true;
  outcome.db.Encrypted = true;
}

}  // namespace

bool IsEncryptedDatabaseFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) && IsEncryptedFile(file.read(kEncryptedMagicSize));
}

ReadOutcome ReadDatabaseFile(const QString& path, CodePage& codePage, const QString& password,
                             const RecordProgress& progress, const RepairNames& names,
                             const QStringList& detectAmong) {
  ReadOutcome outcome;
  outcome.error = Guarded([&] {
    // A file that is not there, or that the system will not let be read,
    // is said as such, not as a damaged one.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
      outcome.systemError = errno;
      outcome.fault =
          outcome.systemError == ENOENT ? ReadOutcome::kMissing : ReadOutcome::kUnreadable;
      throw StorageError(QStringLiteral("%1 cannot be opened: %2")
                             .arg(path, SystemErrorText(outcome.systemError)));
    }
    file.close();
    outcome.encrypted = IsEncryptedDatabaseFile(path);
    if (outcome.encrypted) {
      ReadEncryptedFile(path, codePage, password, progress, outcome);
    } else {
      ReadClassicFile(path, codePage, password, progress, outcome);
    }
    if (outcome.status != ReadOutcome::kLoaded) return;
    outcome.db.DatabasePath = path;
    outcome.db.CodePageName = codePage.Name();
    // A password given for a file without protection is none of its own.
    outcome.db.Password = outcome.passwordTried ? password : QString();
    // Before the repairs, whose names are no bytes of the file.
    if (!detectAmong.isEmpty()) TakeDetectedCodePage(outcome.db, codePage, detectAmong);
    outcome.repairs = RepairModel(outcome.db, names);
  });
  if (!outcome.error.isEmpty()) {
    outcome.status = ReadOutcome::kFailed;
    if (outcome.fault == ReadOutcome::kNone) outcome.fault = ReadOutcome::kDamaged;
    outcome.db = Database();
  }
  return outcome;
}

}  // namespace orbo
