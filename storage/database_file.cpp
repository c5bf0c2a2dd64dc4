#include "storage/database_file.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <new>

#include "storage/database_body.h"
#include "storage/model_invariants.h"
#include "storage/storage_error.h"
#include "storage/stream_library.h"

namespace orbo {
namespace {

QByteArray EncodePassword(const QString& password, CodePage& codePage) {
  switch (CheckPasswordKey(password, codePage)) {
    case PasswordFault::kEmpty: throw StorageError(QStringLiteral("a protected database needs a password"));
    case PasswordFault::kNul: throw StorageError(QStringLiteral("the password holds a NUL character"));
    case PasswordFault::kUnencodable:
      throw StorageError(QStringLiteral("the password has a character %1 cannot hold").arg(codePage.Name()));
    case PasswordFault::kNone: break;
  }
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

PasswordFault CheckPasswordKey(const QString& password, CodePage& codePage) {
  // The stream ignores an empty key, which would leave a protected file
  // scrambled with the built-in key and readable with no password.
  if (password.isEmpty()) return PasswordFault::kEmpty;
  // The key ends at a zero byte: the rest of the password would not count.
  if (password.contains(QChar(0))) return PasswordFault::kNul;
  QByteArray key;
  return codePage.Encode(password, &key) ? PasswordFault::kNone : PasswordFault::kUnencodable;
}

QString TempPathFor(const QString& target) {
  const QFileInfo info(target);
  const QByteArray digest =
      QCryptographicHash::hash(info.fileName().toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
  return info.absolutePath() + QStringLiteral("/.orbo-") + QString::fromLatin1(digest) +
         QStringLiteral(".tmp");
}

// Only the exact name of our temporary is removed, and only a regular file:
// never a link, a folder or anything else the user put there.
QString CreateTempBeside(const QString& target) {
  const QString path = TempPathFor(target);
  const QFileInfo left(path);
  if (left.isFile() && !left.isSymbolicLink()) QFile::remove(path);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
    throw StorageError(QStringLiteral("%1 cannot be created: %2").arg(path, file.errorString()));
  }
  return path;
}

WriteOutcome WriteDatabaseFile(const Database& db, const QString& path, CodePage& codePage,
                               const RecordProgress& progress, const TempFileFn& createTemp) {
  WriteOutcome outcome;
  QString tempPath;
  outcome.error = Guarded([&] {
    const std::vector<ModelProblem> problems = FindModelProblems(db, 1);
    if (!problems.empty()) throw StorageError(DescribeProblem(problems.front()));
    // Saving through a link replaces what it points at, not the link.
    const QString target = FollowLinks(path);
    tempPath = createTemp(target);
    WriteStream(db, tempPath, codePage, progress);
    if (QFile::exists(target)) QFile::setPermissions(tempPath, QFile::permissions(target));
    std::error_code error;
    std::filesystem::rename(FsPath(tempPath), FsPath(target), error);
    if (error) {
      throw StorageError(QStringLiteral("%1 cannot be replaced: %2")
                             .arg(target, QString::fromLocal8Bit(error.message())));
    }
    tempPath.clear();
  });
  outcome.ok = outcome.error.isEmpty();
  if (!tempPath.isEmpty()) QFile::remove(tempPath);
  return outcome;
}

ReadOutcome ReadDatabaseFile(const QString& path, CodePage& codePage, const PasswordFn& askPassword,
                             const RecordProgress& progress, const RepairNames& names) {
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
    outcome.repairs = RepairModel(outcome.db, names);
    outcome.status = ReadOutcome::kLoaded;
  });
  if (!outcome.error.isEmpty()) {
    outcome.status = ReadOutcome::kFailed;
    outcome.db = Database();
  }
  return outcome;
}

}  // namespace orbo
