#include "storage/database_file.h"

#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <future>
#include <memory>
#include <mutex>
#include <new>

#include "storage/backups.h"
#include "storage/database_body.h"
#include "storage/encrypted_file.h"
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

// The file a path finally names, following symbolic links (even to a file
// that does not exist yet); a loop of links ends the save.
QString FollowLinks(const QString& path) {
  constexpr int kMaxLinks = 40;
  QString current = QFileInfo(path).absoluteFilePath();
  for (int hops = 0; hops < kMaxLinks; ++hops) {
    const QFileInfo info(current);
    if (!info.isSymLink()) return current;
    current = info.symLinkTarget();
  }
  throw StorageError(QStringLiteral("%1: too many symbolic links").arg(path));
}

// Runs the body of a read or write and turns whatever it raises into an
// error text.
template <typename Body>
QString Guarded(Body body) {
  try {
    body();
    return {};
  } catch (const StorageError& e) {
    return e.Message();
  } catch (const std::bad_alloc&) {
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

// The classic file: the header word, then the body scrambled with the
// password when scrambled, else with the library's key.
void WriteClassicFile(const Database& db, const QString& path, bool scrambled, CodePage& codePage,
                      const RecordProgress& progress) {
  const std::lock_guard<std::mutex> held(StreamLibraryLock());
  if (stream::OpenWrite(QFile::encodeName(path)) == -1) {
    throw StorageError(QStringLiteral("%1 cannot be created").arg(path));
  }
  bool closed = false;
  try {
    // A failed header word sets the stream's error, which the close reports.
    stream::WriteH4(scrambled ? kHeaderPassword : kHeaderDefaultKey);
    if (scrambled) stream::SetPassword(EncodePassword(db.Password, codePage));
    StreamWriter out(codePage);
    WriteDatabaseBody(db, out, progress);
    closed = true;
    if (!stream::CloseWrite()) throw StorageError(QStringLiteral("writing %1 failed").arg(path));
  } catch (...) {
    if (!closed) stream::CloseWrite();
    throw;
  }
}

// Writes what write gives to the file at path and syncs it.
void WriteDurably(const QString& path, const std::function<void(const ByteSink&)>& write) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    throw StorageError(QStringLiteral("%1 cannot be created").arg(path));
  write([&](const char* data, qsizetype size) {
    if (file.write(data, size) != size)
      throw StorageError(QStringLiteral("writing %1 failed").arg(path));
  });
  const bool written = file.flush() && ::fsync(file.handle()) == 0;
  file.close();
  if (!written || file.error() != QFileDevice::NoError)
    throw StorageError(QStringLiteral("writing %1 failed").arg(path));
}

// An encrypted database holds the classic file with the library's key; it
// is made in memory, so no plain byte of it reaches the disk.
void WriteStream(const Database& db, const QString& path, CodePage& codePage,
                 const RecordProgress& progress) {
  if (!IsEncrypted(db)) {
    WriteClassicFile(db, path, db.PasswordOn, codePage, progress);
    return;
  }
  // The key is derived while the classic file is written: a save costs
  // little more than the derivation alone.
  std::future<std::unique_ptr<SealKey>> key =
      std::async(std::launch::async, [password = db.Password] {
        return std::make_unique<SealKey>(password, KeyCost::Standard());
      });
  MemoryFile plain;
  // Should the write throw, the future waits for the derivation as it goes.
  WriteClassicFile(db, plain.Path(), false, codePage, progress);
  const std::unique_ptr<SealKey> seal = key.get();
  const QByteArrayView bytes = plain.Map();
  WriteDurably(path, [&](const ByteSink& out) { seal->Seal(bytes, out); });
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
  const QString password = db.Password;
  const ReadOutcome read = ReadDatabaseFile(target, codePage, [&password] { return password; });
  // The protection too: a file that lost it would still read back.
  if (read.status != ReadOutcome::kLoaded || read.repairs.Total() > 0 ||
      read.db.PasswordOn != db.PasswordOn || read.db.Encrypted != IsEncrypted(db) ||
      !StoredDifference(read.db, expected).isEmpty()) {
    throw StorageError(QStringLiteral("%1 does not read back as it was written").arg(target));
  }
}

bool PutBack(const QString& target, const QByteArray& bytes) {
  return Guarded([&] {
           WriteDurably(target, [&](const ByteSink& out) { out(bytes.constData(), bytes.size()); });
         })
      .isEmpty();
}

// No temporary can keep the old file whole while the new one is written, so
// its bytes are kept here until the new ones read back as db.
void WriteInPlace(const Database& db, const QString& target, const FileIdentity& before,
                  CodePage& codePage, const RecordProgress& progress) {
  const InPlaceLock lock(target);
  if (!lock.Taken()) {
    throw SaveRefused(WriteOutcome::kSavedByAnother,
                      QStringLiteral("%1 is being saved by another program").arg(target));
  }
  QFile file(target);
  if (!file.open(QIODevice::ReadOnly)) {
    throw StorageError(QStringLiteral("%1 cannot be read: %2").arg(target, file.errorString()));
  }
  const QByteArray old = file.readAll();
  file.close();
  if (file.error() != QFileDevice::NoError)
    throw StorageError(QStringLiteral("%1 cannot be read").arg(target));
  ThrowIfChanged(target, before);
  const QString failure = Guarded([&] {
    WriteStream(db, target, codePage, progress);
    VerifyWritten(db, target, codePage);
  });
  if (failure.isEmpty()) return;
  if (!PutBack(target, old)) {
    throw SaveRefused(WriteOutcome::kNotRestored,
                      failure + QStringLiteral("; the previous contents could not be put back"));
  }
  throw SaveRefused(WriteOutcome::kPutBack,
                    failure + QStringLiteral("; the previous contents were put back"));
}

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
                               const RecordProgress& progress, const TempFileFn& createTemp,
                               int keepBackups) {
  WriteOutcome outcome;
  outcome.error = Guarded([&] {
    try {
      const QString refusal = WriteRefusal(db, codePage);
      if (!refusal.isEmpty()) throw StorageError(refusal);
      // Saving through a link replaces what it points at, not the link.
      const QString target = FollowLinks(path);
      const FileIdentity before = IdentityOf(target);
      if (before.exists && IsWriteProtected(target)) {
        throw SaveRefused(WriteOutcome::kWriteProtected,
                          QStringLiteral("%1 is write-protected").arg(target));
      }
      SaveLock lock(target);
      QString tempPath;
      switch (lock.Take()) {
        case SaveLock::kHeldByAnother:
          throw SaveRefused(WriteOutcome::kSavedByAnother,
                            QStringLiteral("%1 is being saved by another program").arg(target));
        case SaveLock::kFailed:
          throw StorageError(QStringLiteral("no lock can be taken beside %1").arg(target));
        case SaveLock::kTaken:
          RemoveStaleTemps(target);
          tempPath = createTemp(target);
          break;
        case SaveLock::kFolderTakesNoFile:
          break;
      }
      if (tempPath.isEmpty()) {
        if (!before.exists) {
          throw StorageError(
              QStringLiteral("%1 cannot be created: its folder takes no new file").arg(target));
        }
        WriteInPlace(db, target, before, codePage, progress);
        outcome.inPlace = true;
        return;
      }
      try {
        WriteStream(db, tempPath, codePage, progress);
        if (before.exists && !TakeModeAndOwner(tempPath, target)) {
          throw StorageError(
              QStringLiteral("%1 cannot be given the mode of %2").arg(tempPath, target));
        }
        ThrowIfChanged(target, before);
        if (before.exists) outcome.backupKept = KeepBackup(target, keepBackups);
        std::error_code error;
        std::filesystem::rename(FsPath(tempPath), FsPath(target), error);
        if (error) {
          throw StorageError(QStringLiteral("%1 cannot be replaced: %2")
                                 .arg(target, QString::fromLocal8Bit(error.message())));
        }
      } catch (...) {
        // While the lock is held, so no other save meets it.
        QFile::remove(tempPath);
        throw;
      }
    } catch (const SaveRefused& refused) {
      outcome.fault = refused.fault;
      throw;
    }
  });
  outcome.ok = outcome.error.isEmpty();
  if (outcome.ok) {
    outcome.fault = WriteOutcome::kNone;
    outcome.written = IdentityOfDatabaseFile(path);
  }
  return outcome;
}

FileIdentity IdentityOfDatabaseFile(const QString& path) {
  try {
    return IdentityOf(FollowLinks(path));
  } catch (const StorageError&) {
    return {};
  }
}

namespace {

// Reads the classic file at streamPath into outcome; password is asked for
// when its header says it is protected.
void ReadClassicFile(const QString& streamPath, CodePage& codePage, const PasswordFn& askPassword,
                     const RecordProgress& progress, ReadOutcome& outcome, QString& password) {
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
    outcome.askedPassword = true;
    password = askPassword ? askPassword() : QString();
    if (password.isEmpty()) {
      outcome.status = ReadOutcome::kCancelled;
      return;
    }
    stream::SetPassword(EncodePassword(password, codePage));
  }
  StreamReader in(codePage);
  outcome.db = ReadDatabaseBody(in, progress);
  outcome.db.PasswordOn = outcome.header == kHeaderPassword;
  outcome.status = ReadOutcome::kLoaded;
}

// The classic file inside the container at path, read through a file in
// memory; nothing is read when the password or any byte is wrong.
void ReadEncryptedFile(const QString& path, CodePage& codePage, const PasswordFn& askPassword,
                       const RecordProgress& progress, ReadOutcome& outcome, QString& password) {
  outcome.askedPassword = true;
  password = askPassword ? askPassword() : QString();
  if (password.isEmpty()) {
    outcome.status = ReadOutcome::kCancelled;
    return;
  }
  // Read, not mapped: a file cut short by another program meanwhile would
  // end a mapped read with a signal.
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw StorageError(QStringLiteral("the file cannot be opened"));
  const QByteArray sealed = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw StorageError(QStringLiteral("the file cannot be read"));
  MemoryFile plainFile;
  OpenSealedFile(sealed, password, [&plainFile](const char* data, qsizetype length) {
    plainFile.Append(data, length);
  });
  QString inner;
  ReadClassicFile(
      plainFile.Path(), codePage, [&password] { return password; }, progress, outcome, inner);
  outcome.db.PasswordOn = true;
  outcome.db.Encrypted = true;
}

}  // namespace

bool IsEncryptedDatabaseFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) && IsEncryptedFile(file.read(kEncryptedMagicSize));
}

ReadOutcome ReadDatabaseFile(const QString& path, CodePage& codePage, const PasswordFn& askPassword,
                             const RecordProgress& progress, const RepairNames& names) {
  ReadOutcome outcome;
  outcome.error = Guarded([&] {
    QString password;
    outcome.encrypted = IsEncryptedDatabaseFile(path);
    if (outcome.encrypted) {
      ReadEncryptedFile(path, codePage, askPassword, progress, outcome, password);
    } else {
      ReadClassicFile(path, codePage, askPassword, progress, outcome, password);
    }
    if (outcome.status != ReadOutcome::kLoaded) return;
    outcome.db.DatabasePath = path;
    outcome.db.CodePageName = codePage.Name();
    outcome.db.Password = password;
    outcome.repairs = RepairModel(outcome.db, names);
  });
  if (!outcome.error.isEmpty()) {
    outcome.status = ReadOutcome::kFailed;
    outcome.db = Database();
  }
  return outcome;
}

}  // namespace orbo
