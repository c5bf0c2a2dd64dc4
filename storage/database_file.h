// A database file: one header word outside the scrambling, then the body.
// Reading and writing here are functions of a path and a model; the steps
// that need the window live in shell/file_commands.
#pragma once

#include <QStringList>
#include <functional>

#include "storage/code_page.h"
#include "storage/database_model.h"
#include "storage/encrypted_file.h"
#include "storage/model_repair.h"
#include "storage/record_progress.h"
#include "storage/save_target.h"

namespace orbo {

// Body scrambled with the library's built-in key, or with the password.
inline constexpr std::int32_t kHeaderDefaultKey = 11;
inline constexpr std::int32_t kHeaderPassword = 12;

struct WriteOutcome {
  // Why a save did not happen, where the user needs more than that it failed.
  // Written in place, kPutBack: writing failed and the old bytes were put
  // back; kNotRestored: they could not be.
  enum Fault {
    kNone,
    kFailed,
    kWriteProtected,
    kChangedMeanwhile,
    kSavedByAnother,
    kPutBack,
    kNotRestored
  };
  // What the save was doing when it failed.
  enum Stage { kChecking, kLocking, kCreating, kWriting, kReplacing, kReadingBack };
  bool ok = false;
  // In English, for orbo-cli and logs.
  QString error;
  Fault fault = kFailed;
  Stage stage = kChecking;
  // The errno of the call the system refused; 0 when it gave no reason.
  int systemError = 0;
  // The file the save was to replace (through links), and its backups folder.
  QString target;
  QString backupFolder;
  // Written straight into the file, without a temporary to keep the old one
  // whole meanwhile: its folder takes no new file.
  bool inPlace = false;
  // The file replaced was kept as a backup, or needed none (it was kept
  // already, or backups are off).
  bool backupKept = true;
  // Whether a backup of the version replaced was made by this save.
  bool backupMade = false;
  // An encrypted save: the backups in the clear were sealed or removed as asked.
  bool plainBackupsDone = true;
  // What the file is once written; after kPutBack, what it is again.
  FileIdentity written;
};

// Creates the empty temporary a save writes first, beside the file at target
// (CreateTempBeside); empty when the folder takes no new file, and throws
// StorageError when it cannot for another reason.
using TempFileFn = std::function<QString(const QString& target)>;

struct SaveOptions {
  RecordProgress progress{};
  TempFileFn createTemp = CreateTempBeside;
  // How many of the versions saves replace are kept.
  int keepBackups = 0;
  // The file holds the database as it is while it is still this file: a
  // save of an unchanged database replaces no version worth keeping.
  FileIdentity unchangedFile{};
  // A database written encrypted keeps no backup in the clear: those are
  // sealed with its key, or removed when the user chose so.
  bool removePlainBackups = false;
  // A file the save creates is readable by this user alone, whatever the
  // umask says (recovery copies).
  bool privateNewFile = false;
  // What deriving the key of an encrypted file costs.
  KeyCost keyCost = KeyCost::Standard();
};

// Writes db to the file at path (through a link, to what it names), refusing
// before any file is touched a model that breaks its rules, a password that
// cannot be a key and a file IsWriteProtected names. The body goes to a
// private temporary of this save's own, which takes the old file's mode and
// owner and is renamed over it only when every step succeeded and the file
// is still what it was when the save began; the file and its folder are
// synced, so a failure, a power cut or a save of the same file by another
// program meanwhile leaves the previous file whole.
// When the folder takes no new file the file is written in place, its old
// bytes kept in memory until the new ones read back as db and put back when
// they do not.
// The version replaced is kept as the newest of keepBackups backups before
// the file is replaced; the oldest go once the new file is in place, and a
// save that fails changes no backup.
WriteOutcome WriteDatabaseFile(const Database& db, const QString& path, CodePage& codePage,
                               const SaveOptions& options = {});

// What the file a database is saved to is now, through symbolic links, as
// WriteDatabaseFile sees it.
FileIdentity IdentityOfDatabaseFile(const QString& path);

// Why a password cannot scramble a file whose texts are in codePage: the
// key would be empty, end early at a NUL, or lose a character.
enum class PasswordFault { kNone, kEmpty, kNul, kUnencodable };
PasswordFault CheckPasswordKey(const QString& password, CodePage& codePage);

struct ReadOutcome {
  // kNeedsPassword: the file is protected and no password was given;
  // nothing of it was read.
  enum Status { kLoaded, kNeedsPassword, kFailed };
  // Why a read failed, where the user is told more than that it did.
  enum Fault { kNone, kDamaged, kMissing, kUnreadable, kWrongPassword, kTooCostly, kUnknownKind };
  Status status = kFailed;
  Fault fault = kNone;
  // The errno of a file that could not be read.
  int systemError = 0;
  // The whole database when loaded, repaired; nothing of a failed read is kept.
  Database db;
  ModelRepairs repairs;
  QString error;
  std::int32_t header = 0;
  // The file is protected and the password given was tried on it: a
  // failure may mean that the password is wrong.
  bool passwordTried = false;
  // The file is the classic one sealed with its password.
  bool encrypted = false;
};

// The file at path is an encrypted database (the classic file sealed with
// its password).
bool IsEncryptedDatabaseFile(const QString& path);

// password opens a protected or encrypted file; a file without protection
// leaves it unused. A wrong password gives kWrongPassword where the file
// could tell (an encrypted file: "wrong password or damaged"), else kDamaged
// with passwordTried set. The texts are read in codePage, or, when
// detectAmong names code pages, in the one of them they read best in (the
// database's CodePageName says which).
ReadOutcome ReadDatabaseFile(const QString& path, CodePage& codePage, const QString& password,
                             const RecordProgress& progress = {}, const RepairNames& names = {},
                             const QStringList& detectAmong = {});

}  // namespace orbo
