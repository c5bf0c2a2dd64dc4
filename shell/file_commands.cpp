#include "shell/file_commands.h"

#include <QDir>
#include <algorithm>
#include <optional>
#include <utility>

#include "shell/failure_texts.h"
#include "shell/file_texts.h"
#include "storage/backups.h"
#include "storage/code_page_detection.h"
#include "storage/database_file.h"
#include "storage/database_merge.h"
#include "storage/file_paths.h"
#include "storage/secret_text.h"
#include "storage/storage_error.h"

namespace orbo {
namespace {

constexpr int kShownPlaces = 5;
// How often a password is asked for one file: a user who mistyped gets
// another try, a script that answers the same each time an end.
constexpr int kPasswordTries = 3;

RecordProgress::ShowFn ProgressWithText(FileCommandsUi& ui, TextId id) {
  const QString text = ui.GetText(id);
  return [&ui, text](int value) { ui.ShowProgress(value, text); };
}

void ShowReadFailed(FileCommandsUi& ui, ReadOutcome::Fault fault, int systemError,
                    bool passwordTried, const QString& path) {
  ui.ShowProgress(kProgressEnd, {});
  ui.ShowMessage(ReadFailureText(fault, systemError, passwordTried, path, ui), kExclamation);
}

// A read that tried a password and failed as a wrong one would: the
// password is asked again, until one opens the file or the user gives up.
bool WorthAnotherPassword(ReadOutcome::Fault fault, bool passwordTried) {
  return passwordTried && (fault == ReadOutcome::kWrongPassword || fault == ReadOutcome::kDamaged);
}

void SayPasswordWrong(FileCommandsUi& ui) {
  ui.ShowProgress(kProgressEnd, {});
  ui.ShowMessage(ui.GetText(file_texts::kDatabaseNotLoaded) + QChar(13) +
                     ui.GetText(file_texts::kPasswordWrongTryAgain),
                 kExclamation);
}

// Runs attempt (a read or a merge of one file) with the password the caller
// knows, which may be none (the open database's, which its backups and
// copies mostly have), then with each the user types while the file needs
// one or refuses the last as wrong. An outcome that still needs a password
// means the user gave up.
template <typename Outcome>
Outcome WithPasswordAsked(FileCommandsUi& ui, const QString& known,
                          const std::function<Outcome(const QString& password)>& attempt) {
  Outcome outcome = attempt(known);
  const auto refusedAsWrong = [&outcome] {
    return outcome.status == ReadOutcome::kFailed &&
           WorthAnotherPassword(outcome.fault, outcome.passwordTried);
  };
  if (outcome.status != ReadOutcome::kNeedsPassword && !refusedAsWrong()) return outcome;
  for (int tries = 1;; ++tries) {
    const QString answer = ui.AskPassword();
    if (answer.isEmpty()) {
      Outcome gaveUp;
      gaveUp.status = ReadOutcome::kNeedsPassword;
      return gaveUp;
    }
    outcome = attempt(answer);
    if (tries == kPasswordTries || !refusedAsWrong()) return outcome;
    SayPasswordWrong(ui);
  }
}

ReadOutcome ReadAskingPassword(const QString& path, CodePage& codePage, FileCommandsUi& ui,
                               const RecordProgress& progress, const RepairNames& names,
                               const QString& known = {}, const QStringList& detectAmong = {}) {
  return WithPasswordAsked<ReadOutcome>(ui, known, [&](const QString& password) {
    return ReadDatabaseFile(path, codePage, password, progress, names, detectAmong);
  });
}

// A model that breaks its invariants would give a file that never opens
// again: the user is shown what is wrong and the old file stays.
bool RefuseInconsistent(const Database& db, FileCommandsUi& ui) {
  const std::vector<ModelProblem> problems = FindModelProblems(db, kShownPlaces);
  if (problems.empty()) return false;
  QString text = ui.GetText(file_texts::kCannotSaveInconsistent);
  for (const ModelProblem& problem : problems) text += QChar(13) + ui.DescribeForUser(db, problem);
  ui.ShowMessage(text, kExclamation);
  return true;
}

// A password the database's code page cannot hold would fail the save
// half-way: the user is told before anything changes.
bool RefusePassword(const Database& db, CodePage& codePage, FileCommandsUi& ui) {
  if (!db.PasswordOn) return false;
  switch (CheckPasswordKey(db.Password, codePage)) {
    case PasswordFault::kNone:
      return false;
    case PasswordFault::kUnencodable:
      ui.ShowMessage(ui.GetText(file_texts::kPasswordNotInCodePage).arg(codePage.Name()),
                     kExclamation);
      return true;
    case PasswordFault::kNul:
      ui.ShowMessage(ui.GetText(file_texts::kPasswordHoldsNul), kExclamation);
      return true;
    case PasswordFault::kEmpty:
      ui.ShowMessage(SaveFailedLine(), kOkOnly);
      return true;
  }
  return true;
}

enum class Storable { kAsTheyAre, kWithQuestionMarks, kNotSaving };

// Texts the code page cannot hold are named; the user may save them with
// "?" in place of those characters, which is not what the question offers
// first. Nothing changes here.
Storable AskStorable(const Database& db, CodePage& codePage, FileCommandsUi& ui) {
  const std::vector<TextPlace> places = FindUnstorableTexts(db, codePage, kShownPlaces + 1);
  if (places.empty()) return Storable::kAsTheyAre;
  QString text = ui.GetText(file_texts::kCharactersNotInCodePage).arg(codePage.Name());
  for (std::size_t i = 0; i < places.size() && i < kShownPlaces; ++i) {
    text += QStringLiteral("\r- ") + ui.DescribeForUser(db, places[i]);
  }
  if (places.size() > kShownPlaces)
    text += QStringLiteral("\r- ") + ui.GetText(file_texts::kAndFurtherTexts);
  text += QStringLiteral("\r\r") + ui.GetText(file_texts::kAskSaveWithQuestionMarks);
  return ui.ShowMessage(text, kYesNo.Warning().NoByDefault()) == kAnswerYes
             ? Storable::kWithQuestionMarks
             : Storable::kNotSaving;
}

void TellRepairs(FileCommandsUi& ui, const ModelRepairs& repairs, const RepairNames& names) {
  QString text = ui.GetText(file_texts::kInconsistenciesRepaired).arg(repairs.Total());
  if (repairs.recordsRecovered > 0)
    text += QChar(13) + ui.GetText(file_texts::kRecordsMovedToFolder).arg(names.recoveredFolder);
  ui.ShowMessage(text, kExclamation);
}

// An unusable code page fails the command.
std::optional<CodePage> CodePageNamed(const QString& name) {
  try {
    return CodePage(name);
  } catch (const StorageError&) {
    return std::nullopt;
  }
}

// The code page a file is read in, and those its texts may choose from.
struct ReadingCodePage {
  QString name;
  QStringList detectAmong;
};

// A file does not say its code page: the one it was last read or written
// in here, else the one its texts read best in, else the language's.
ReadingCodePage CodePageToRead(const QString& path, FileCommandsUi& ui) {
  const QString known = ui.KnownCodePage(path);
  if (!known.isEmpty() && CodePageNamed(known)) return {known, {}};
  const QString language = ui.LanguageCodePage();
  QStringList candidates = KnownCodePages();
  if (!candidates.contains(language)) candidates << language;
  return {language, candidates};
}

// Reads the file at path in place of db, as a load does, and shows it; false,
// telling the user, when it cannot be read. db stays as it was then.
bool ReadInPlaceOf(Database& db, const QString& path, const ReadingCodePage& reading,
                   FileCommandsUi& ui) {
  std::optional<CodePage> codePage = CodePageNamed(reading.name);
  if (!codePage) {
    ShowReadFailed(ui, ReadOutcome::kDamaged, 0, false, path);
    return false;
  }
  const RepairNames names = ui.NamesForRepairs();
  // Taken before the read: a change while it runs is one the next save asks about.
  const FileIdentity file = IdentityOfDatabaseFile(path);
  ReadOutcome outcome = ReadAskingPassword(
      path, *codePage, ui, RecordProgress(ProgressWithText(ui, file_texts::kLoadingDatabase)),
      names, {}, reading.detectAmong);
  if (outcome.status == ReadOutcome::kNeedsPassword) {
    ui.ShowProgress(kProgressEnd, {});
    return false;
  }
  // A file that cannot be read leaves the open database as it was: the user
  // keeps their work, whatever they answered to saving it.
  if (outcome.status != ReadOutcome::kLoaded || !ui.CopyCompanionIcons(outcome.db.DatabasePath)) {
    ShowReadFailed(ui, outcome.fault, outcome.systemError, outcome.passwordTried, path);
    return false;
  }
  // The password of the model replaced leaves no copy behind.
  WipePassword(db);
  db = std::move(outcome.db);
  ui.ModelReplaced();
  ui.SetKnownFile(file);
  ModelRepairs repairs = outcome.repairs;
  repairs += RepairForWindow(db, names);
  ui.SetModified(false);
  ui.SetEventsSuppressed(false);
  ui.EnsureIcons();
  ui.ShowDatabase();
  if (repairs.Total() > 0) {
    TellRepairs(ui, repairs, names);
    ui.SetModified(true);
  }
  return true;
}

// An encrypted database keeps no backup in the clear. Before the save that
// starts encrypting its file the user chooses, once, whether the backups in
// the clear are sealed too or removed. False: the user cancelled the save.
bool AskAboutPlainBackups(const Database& db, const QString& path, FileCommandsUi& ui,
                          SaveOptions& options) {
  if (!IsEncrypted(db)) return true;
  if (PlainBackups(path).empty()) return true;
  const MessageAnswer answer =
      ui.ShowMessage(ui.GetText(file_texts::kAskSealBackups)
                         .arg(QDir::toNativeSeparators(CanonicalFilePath(path)),
                              QDir::toNativeSeparators(BackupFolderOf(path))),
                     kYesNoCancel.Warning());
  if (answer != kAnswerYes && answer != kAnswerNo) return false;
  options.removePlainBackups = answer == kAnswerNo;
  return true;
}

// What a save that succeeded did not do as it usually does.
void TellSaveNotes(const WriteOutcome& outcome, int keep, FileCommandsUi& ui) {
  const QString file = QDir::toNativeSeparators(outcome.target);
  const QString folder = QDir::toNativeSeparators(outcome.backupFolder);
  if (outcome.inPlace) {
    QString text = ui.GetText(file_texts::kFolderRefusesNewFiles).arg(file);
    if (keep > 0 && outcome.backupMade)
      text += QChar(13) + ui.GetText(file_texts::kBackupKeptIn).arg(folder);
    else if (keep > 0 && !outcome.backupKept)
      text += QChar(13) + ui.GetText(file_texts::kNoBackupKept);
    ui.ShowMessage(text, kExclamation);
  } else if (!outcome.backupKept) {
    ui.ShowMessage(ui.GetText(file_texts::kBackupNotKept).arg(file, folder), kExclamation);
  }
  if (!outcome.plainBackupsDone)
    ui.ShowMessage(ui.GetText(file_texts::kBackupsNotSealed).arg(folder), kExclamation);
}

// Contents of other in place of db's: forms, records, folders and the
// settings the file holds. db keeps its name, code page and protection.
// The tables only grow, as every step of the model has them.
void TakeContents(Database& db, const Database& other) {
  SetCount(db, kFormsKind, other.FormCount);
  SetCount(db, kRecordsKind, other.RecordCount);
  SetCount(db, kFoldersKind, other.FolderCount);
  std::copy_n(other.Forms.begin(), other.FormCount, db.Forms.begin());
  std::copy_n(other.Records.begin(), other.RecordCount, db.Records.begin());
  std::copy_n(other.RecordMarks.begin(), other.RecordCount, db.RecordMarks.begin());
  std::copy_n(other.Folders.begin(), other.FolderCount, db.Folders.begin());
  db.BufferCount = other.BufferCount;
  db.SplitterPos = other.SplitterPos;
  db.MaxListString = other.MaxListString;
  db.DbReserved = other.DbReserved;
  db.DatabaseFont = other.DatabaseFont;
}

}  // namespace

bool SaveDatabase(Database& db, bool saveAs, FileCommandsUi& ui, TextId title) {
  if (RefuseInconsistent(db, ui)) return false;
  QString path = db.DatabasePath;
  bool askPath = db.DatabasePath == QLatin1String("noname") || saveAs;
  // Another program (a sync, a second machine, orbo-cli) wrote the file
  // since it was read or written here: its changes are not lost unasked.
  // A file that is gone holds no one's changes: the save writes it anew.
  const FileIdentity known = ui.KnownFile();
  const FileIdentity now = IdentityOfDatabaseFile(path);
  if (!askPath && known.exists && now.exists && now != known) {
    const MessageAnswer answer = ui.ShowMessage(
        ui.GetText(file_texts::kFileChangedOnDisk).arg(path), kYesNoCancel.Warning().NoByDefault());
    if (answer != kAnswerYes && answer != kAnswerNo) return false;
    askPath = answer == kAnswerNo;
  }
  if (askPath) {
    path = ui.AskSavePath(title);
    if (path.isEmpty()) return false;
    path = CanonicalFilePath(path);
  }
  // Every check that can refuse the save comes before anything changes.
  std::optional<CodePage> codePage = CodePageNamed(db.CodePageName);
  if (!codePage) {
    ui.ShowMessage(SaveFailedLine(), kOkOnly);
    return false;
  }
  if (RefusePassword(db, *codePage, ui)) return false;
  if (IsWriteProtected(path)) {
    WriteOutcome refused;
    refused.fault = WriteOutcome::kWriteProtected;
    ui.ShowMessage(SaveFailureText(refused, path, ui), kExclamation);
    return false;
  }
  const Storable storable = AskStorable(db, *codePage, ui);
  if (storable == Storable::kNotSaving) return false;
  SaveOptions options;
  options.progress = RecordProgress(ProgressWithText(ui, file_texts::kSavingDatabase));
  options.keepBackups = ui.BackupsToKeep();
  options.keyCost = ui.SealCost();
  // Saved unchanged over the very file it was read from or written to, the
  // database replaces no version worth a backup.
  if (!db.Modified && !askPath) options.unchangedFile = known;
  if (!AskAboutPlainBackups(db, path, ui, options)) return false;
  // What is written has "?" in place of what the code page lacks; the model
  // takes it only once the file holds it.
  std::optional<Database> replaced;
  if (storable == Storable::kWithQuestionMarks) {
    replaced.emplace(db);
    MakeTextsStorable(*replaced, *codePage);
  }
  const QString previousPath = db.DatabasePath;
  db.DatabasePath = path;
  ui.UpdateTitle();
  const WriteOutcome outcome =
      WriteDatabaseFile(replaced ? *replaced : db, path, *codePage, options);
  if (!outcome.ok) {
    // The database keeps the name of the file that holds it.
    db.DatabasePath = previousPath;
    ui.UpdateTitle();
    ui.ShowProgress(kProgressEnd, {});
    ui.ShowMessage(SaveFailureText(outcome, path, ui), kExclamation);
    return false;
  }
  ui.SetKnownFile(outcome.written);
  // NUL becomes a space, as the file holds it.
  int changedTexts = 0;
  ui.ChangeAsStep(ui.GetText(file_texts::kStorableTextsStep),
                  [&] { changedTexts = MakeTextsStorable(db, *codePage); });
  if (changedTexts > 0) ui.ShowChangedTexts();
  ui.AddRecentFile(db.DatabasePath);
  ui.RememberCodePage(db.DatabasePath, db.CodePageName);
  ui.SetModified(false);
  TellSaveNotes(outcome, options.keepBackups, ui);
  return true;
}

bool SaveDatabaseAs(Database& db, FileCommandsUi& ui, TextId title) {
  return SaveDatabase(db, true, ui, title);
}

bool LoadDatabase(Database& db, const QString& path, FileCommandsUi& ui) {
  if (!AskSaveChanges(db, ui)) return false;
  ui.SetEventsSuppressed(true);
  const QString chosen = path.isEmpty() ? ui.AskOpenPath(file_texts::kOpenDatabaseTitle) : path;
  const QString file = chosen.isEmpty() ? QString() : CanonicalFilePath(chosen);
  const bool read = !file.isEmpty() && ReadInPlaceOf(db, file, CodePageToRead(file, ui), ui);
  if (read) {
    ui.AddRecentFile(db.DatabasePath);
    ui.RememberCodePage(db.DatabasePath, db.CodePageName);
  }
  ui.SetEventsSuppressed(false);
  return read;
}

bool OpenUnsaved(Database& db, const QString& file, const QString& path, FileCommandsUi& ui) {
  // path may be db's own, which the read replaces.
  const QString target = path;
  if (!AskSaveChanges(db, ui)) return false;
  ui.SetEventsSuppressed(true);
  // The copy is written in the code page of the database it keeps.
  const bool read = ReadInPlaceOf(db, file, CodePageToRead(target, ui), ui);
  if (read) {
    // Saved, it replaces the file at path as that is now.
    db.DatabasePath = target;
    ui.SetKnownFile(target == QLatin1String("noname") ? FileIdentity{}
                                                      : IdentityOfDatabaseFile(target));
    ui.SetModified(true);
    ui.UpdateTitle();
  }
  ui.SetEventsSuppressed(false);
  return read;
}

bool ReadAgainAs(Database& db, const QString& codePage, FileCommandsUi& ui) {
  if (db.DatabasePath == QLatin1String("noname")) return false;
  ui.SetEventsSuppressed(true);
  const bool read = ReadInPlaceOf(db, db.DatabasePath, {codePage, {}}, ui);
  if (read) ui.RememberCodePage(db.DatabasePath, db.CodePageName);
  ui.SetEventsSuppressed(false);
  return read;
}

bool RestoreBackup(Database& db, const QString& backup, FileCommandsUi& ui) {
  std::optional<CodePage> codePage = CodePageNamed(db.CodePageName);
  if (!codePage) return false;
  const RepairNames names = ui.NamesForRepairs();
  ReadOutcome outcome = ReadAskingPassword(
      backup, *codePage, ui, RecordProgress(ProgressWithText(ui, file_texts::kLoadingDatabase)),
      names, db.PasswordOn ? db.Password : QString());
  ui.ShowProgress(kProgressEnd, {});
  if (outcome.status == ReadOutcome::kNeedsPassword) return false;
  if (outcome.status != ReadOutcome::kLoaded) {
    ShowReadFailed(ui, outcome.fault, outcome.systemError, outcome.passwordTried, backup);
    return false;
  }
  RepairForWindow(outcome.db, names);
  ui.ChangeAsStep(ui.GetText(file_texts::kRestoreBackupStep),
                  [&] { TakeContents(db, outcome.db); });
  // The backup's password, the database's own or one typed for it, stays
  // nowhere but where the database keeps its own.
  WipePassword(outcome.db);
  ui.EnsureIcons();
  ui.ShowDatabase();
  return true;
}

bool AskSaveChanges(Database& db, FileCommandsUi& ui) {
  if (!db.Modified) return true;
  switch (ui.ShowMessage(ui.GetText(file_texts::kAskSaveChanges), kYesNoCancel)) {
    case kAnswerYes:
      return SaveDatabase(db, false, ui);
    case kAnswerNo:
      return true;
    default:
      return false;
  }
}

void NewDatabaseCmd(Database& db, FileCommandsUi& ui) {
  RecountBuffers(db);
  if (!AskSaveChanges(db, ui)) return;
  ui.NewDatabase();
  ui.SetKnownFile({});
  ui.RefreshWindow();
}

bool ImportDatabase(Database& db, FileCommandsUi& ui) {
  ui.SetEventsSuppressed(true);
  const QString path = ui.AskOpenPath(file_texts::kImportDatabaseTitle);
  const auto done = [&ui] {
    ui.SetEventsSuppressed(false);
    return false;
  };
  if (path.isEmpty()) return done();
  // Records of an encrypted file would be saved in the clear in this one.
  if (IsEncryptedDatabaseFile(path) && !IsEncrypted(db) &&
      ui.ShowMessage(ui.GetText(file_texts::kMergeFromEncrypted)
                         .arg(QDir::toNativeSeparators(CanonicalFilePath(path))),
                     kYesNo.Warning().NoByDefault()) != kAnswerYes)
    return done();
  // Read in the open database's code page, whose texts its file holds.
  std::optional<CodePage> codePage = CodePageNamed(db.CodePageName);
  const RepairNames names = ui.NamesForRepairs();
  MergeOutcome outcome;
  if (codePage) {
    // The password is asked between attempts, never inside the undo step.
    outcome = WithPasswordAsked<MergeOutcome>(ui, {}, [&](const QString& password) {
      MergeOutcome merged;
      ui.ChangeAsStep(ui.GetText(file_texts::kMergeStep), [&] {
        merged = MergeDatabaseFile(db, path, *codePage, password,
                                   ProgressWithText(ui, file_texts::kLoadingDatabase), names);
      });
      return merged;
    });
  }
  done();
  if (outcome.status == ReadOutcome::kNeedsPassword) return false;
  if (outcome.status == ReadOutcome::kFailed) {
    ShowReadFailed(ui, outcome.fault, outcome.systemError, outcome.passwordTried, path);
    return false;
  }
  ui.EnsureIcons();
  ui.ShowDatabase();
  if (outcome.repairs.Total() > 0) TellRepairs(ui, outcome.repairs, names);
  return true;
}

}  // namespace orbo
