// A database file: one header word outside the scrambling, then the body.
// Reading and writing here are functions of a path and a model; the steps
// that need the window live in database_commands.
#pragma once

#include <functional>

#include "storage/code_page.h"
#include "storage/database_model.h"
#include "storage/record_progress.h"

namespace orbo {

// Body scrambled with the library's built-in key, or with the password.
inline constexpr std::int32_t kHeaderDefaultKey = 11;
inline constexpr std::int32_t kHeaderPassword = 12;

struct WriteOutcome {
  bool ok = false;
  QString error;
};

// Writes "<path>.saving" beside the file and renames it over path only when
// every step succeeded, so a failure leaves the previous file whole.
WriteOutcome WriteDatabaseFile(const Database& db, const QString& path, CodePage& codePage,
                               const RecordProgress& progress = {});

// Asked for the password of a protected file; an empty answer gives up.
using PasswordFn = std::function<QString()>;

struct ReadOutcome {
  enum Status { kLoaded, kCancelled, kFailed };
  Status status = kFailed;
  // The whole database when loaded; nothing of a failed read is kept.
  Database db;
  QString error;
  std::int32_t header = 0;
  bool askedPassword = false;
};

ReadOutcome ReadDatabaseFile(const QString& path, CodePage& codePage, const PasswordFn& askPassword,
                             const RecordProgress& progress = {});

}  // namespace orbo
