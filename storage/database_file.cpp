#include "storage/database_file.h"

#include <QFile>
#include <filesystem>
#include <new>

#include "storage/database_body.h"
#include "storage/storage_error.h"
#include "storage/stream_library.h"

namespace orbo {
namespace {

// The stream ignores an empty key, which would leave a protected file
// scrambled with the built-in key and readable with no password.
QByteArray EncodePassword(const QString& password, CodePage& codePage) {
  if (password.isEmpty())
    throw StorageError(QStringLiteral("a protected database needs a password"));
  QByteArray key;
  if (!codePage.Encode(password, &key)) {
    throw StorageError(
        QStringLiteral("the password has a character %1 cannot hold").arg(codePage.Name()));
  }
  return key;
}

std::filesystem::path FsPath(const QString& path) {
  return std::filesystem::path(path.toStdU16String());
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

void WriteStream(const Database& db, const QString& tempPath, CodePage& codePage,
                 const RecordProgress& progress) {
  if (stream::OpenWrite(QFile::encodeName(tempPath)) == -1) {
    throw StorageError(QStringLiteral("%1 cannot be created").arg(tempPath));
  }
  bool closed = false;
  try {
    // A failed header word sets the stream's error, which the close reports.
    stream::WriteH4(db.PasswordOn ? kHeaderPassword : kHeaderDefaultKey);
    if (db.PasswordOn) stream::SetPassword(EncodePassword(db.Password, codePage));
    StreamWriter out(codePage);
    WriteDatabaseBody(db, out, progress);
    closed = true;
    if (!stream::CloseWrite())
      throw StorageError(QStringLiteral("writing %1 failed").arg(tempPath));
  } catch (...) {
    if (!closed) stream::CloseWrite();
    throw;
  }
}

}  // namespace

WriteOutcome WriteDatabaseFile(const Database& db, const QString& path, CodePage& codePage,
                               const RecordProgress& progress) {
  const QString tempPath = path + QStringLiteral(".saving");
  WriteOutcome outcome;
  outcome.error = Guarded([&] {
    WriteStream(db, tempPath, codePage, progress);
    if (QFile::exists(path)) QFile::setPermissions(tempPath, QFile::permissions(path));
    std::error_code error;
    std::filesystem::rename(FsPath(tempPath), FsPath(path), error);
    if (error) {
      throw StorageError(QStringLiteral("%1 cannot be replaced: %2")
                             .arg(path, QString::fromLocal8Bit(error.message())));
    }
  });
  outcome.ok = outcome.error.isEmpty();
  if (!outcome.ok) QFile::remove(tempPath);
  return outcome;
}

ReadOutcome ReadDatabaseFile(const QString& path, CodePage& codePage, const PasswordFn& askPassword,
                             const RecordProgress& progress) {
  ReadOutcome outcome;
  outcome.error = Guarded([&] {
    if (stream::OpenInput(QFile::encodeName(path)) == -1) {
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
    QString password;
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
    outcome.db.DatabasePath = path;
    outcome.db.PasswordOn = outcome.header == kHeaderPassword;
    outcome.db.Password = password;
    outcome.status = ReadOutcome::kLoaded;
  });
  if (!outcome.error.isEmpty()) {
    outcome.status = ReadOutcome::kFailed;
    outcome.db = Database();
  }
  return outcome;
}

}  // namespace orbo
