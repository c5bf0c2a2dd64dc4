// A database file: one header word outside the scrambling, then the body.
// Reading and writing here are functions of a path and a model; the steps
// that need the window live in database_commands.
#pragma once

#include <functional>

#include "storage/code_page.h"
#include "storage/database_model.h"
#include "storage/model_repair.h"
#include "storage/record_progress.h"

namespace orbo {

// Body scrambled with the library's built-in key, or with the password.
inline constexpr std::int32_t kHeaderDefaultKey = 11;
inline constexpr std::int32_t kHeaderPassword = 12;

struct WriteOutcome {
  bool ok = false;
  QString error;
};

// Refuses a model that breaks its invariants. Writes a temporary file of its
// own beside the file (beside a link's target) and renames it over the file
// only when every step succeeded, so a failure leaves the previous file whole.
// Creates the empty temporary file a save writes first, for the file at
// target; throws StorageError when it cannot.
using TempFileFn = std::function<QString(const QString& target)>;
// The temporary a save of target writes: a short name of our own beside
// it, so it fits wherever the file's name fits, and the same for every save
// of target, so the next save removes what a killed one left behind.
QString TempPathFor(const QString& target);
// Creates TempPathFor(target) exclusively, after removing a regular file a
// killed save left under that name.
QString CreateTempBeside(const QString& target);

WriteOutcome WriteDatabaseFile(const Database& db, const QString& path, CodePage& codePage,
                               const RecordProgress& progress = {},
                               const TempFileFn& createTemp = CreateTempBeside);

// Why a password cannot scramble a file whose texts are in codePage: the
// key would be empty, end early at a NUL, or lose a character.
enum class PasswordFault { kNone, kEmpty, kNul, kUnencodable };
PasswordFault CheckPasswordKey(const QString& password, CodePage& codePage);

// Asked for the password of a protected file; an empty answer gives up.
using PasswordFn = std::function<QString()>;

struct ReadOutcome {
  enum Status { kLoaded, kCancelled, kFailed };
  Status status = kFailed;
  // The whole database when loaded, repaired; nothing of a failed read is kept.
  Database db;
  ModelRepairs repairs;
  QString error;
  std::int32_t header = 0;
  bool askedPassword = false;
};

ReadOutcome ReadDatabaseFile(const QString& path, CodePage& codePage, const PasswordFn& askPassword,
                             const RecordProgress& progress = {}, const RepairNames& names = {});

}  // namespace orbo
