#include "storage/database_commands.h"

#include <optional>

#include "storage/backups.h"
#include "storage/database_file.h"
#include "storage/database_merge.h"
#include "storage/secret_text.h"
#include "storage/storage_error.h"
#include "storage/storage_texts.h"

namespace orbo {
namespace {

const QString kSaveFailedText = QStringLiteral("Error while saving file");

constexpr int kShownPlaces = 5;

RecordProgress::ShowFn ProgressWithText(StorageUi& ui, TextId id) {
  const QString text = ui.GetText(id);
  return [&ui, text](int value) { ui.ShowProgress(value, text); };
}

void ShowReadFailed(StorageUi& ui, bool askedPassword) {
  ui.ShowProgress(kProgressEnd, {});
  QString text = ui.GetText(storage_texts::kDatabaseNotLoaded) + QChar(13) +
                 ui.GetText(storage_texts::kFileDamaged);
  if (askedPassword) text += QChar(13) + ui.GetText(storage_texts::kPasswordMayBeWrong);
  ui.ShowMessage(text, kExclamation);
}

// A model that breaks its invariants would give a file that never opens
// again: the user is shown what is wrong and the old file stays.
bool RefuseInconsistent(const Database& db, StorageUi& ui) {
  const std::vector<ModelProblem> problems = FindModelProblems(db, kShownPlaces);
  if (problems.empty()) return false;
  QString text = ui.GetText(storage_texts::kCannotSaveInconsistent);
  for (const ModelProblem& problem : problems) text += QChar(13) + ui.DescribeForUser(db, problem);
  ui.ShowMessage(text, kExclamation);
  return true;
}

// A password the database's code page cannot hold would fail the save
// half-way: the user is told before anything changes.
bool RefusePassword(const Database& db, CodePage& codePage, StorageUi& ui) {
  if (!db.PasswordOn) return false;
  switch (CheckPasswordKey(db.Password, codePage)) {
    case PasswordFault::kNone:
      return false;
    case PasswordFault::kUnencodable:
      ui.ShowMessage(ui.GetText(storage_texts::kPasswordNotInCodePage).arg(codePage.Name()),
                     kExclamation);
      return true;
    case PasswordFault::kNul:
      ui.ShowMessage(ui.GetText(storage_texts::kPasswordHoldsNul), kExclamation);
      return true;
    case PasswordFault::kEmpty:
      ui.ShowMessage(kSaveFailedText, kOkOnly);
      return true;
  }
  return true;
}

enum class Storable { kAsTheyAre, kWithQuestionMarks, kNotSaving };

// Texts the code page cannot hold are named; the user may save them with
// "?" in place of those characters, which is not what the question offers
// first. Nothing changes here.
Storable AskStorable(const Database& db, CodePage& codePage, StorageUi& ui) {
  const std::vector<TextPlace> places = FindUnstorableTexts(db, codePage, kShownPlaces + 1);
  if (places.empty()) return Storable::kAsTheyAre;
  QString text = ui.GetText(storage_texts::kCharactersNotInCodePage).arg(codePage.Name());
  for (std::size_t i = 0; i < places.size() && i < kShownPlaces; ++i) {
    text += QStringLiteral("\r- ") + ui.DescribeForUser(db, places[i]);
  }
  if (places.size() > kShownPlaces)
    text += QStringLiteral("\r- ") + ui.GetText(storage_texts::kAndFurtherTexts);
  text += QStringLiteral("\r\r") + ui.GetText(storage_texts::kAskSaveWithQuestionMarks);
  return ui.ShowMessage(text, kYesNo.Warning().NoByDefault()) == kAnswerYes
             ? Storable::kWithQuestionMarks
             : Storable::kNotSaving;
}

// Why the file was not written, for the user.
QString DescribeFailure(const WriteOutcome& outcome, const QString& path, StorageUi& ui) {
  switch (outcome.fault) {
    case WriteOutcome::kWriteProtected:
      return ui.GetText(storage_texts::kFileWriteProtected).arg(path);
    case WriteOutcome::kChangedMeanwhile:
      return ui.GetText(storage_texts::kFileChangedWhileSaving).arg(path);
    case WriteOutcome::kSavedByAnother:
      return ui.GetText(storage_texts::kFileBeingSaved).arg(path);
    case WriteOutcome::kPutBack:
      return ui.GetText(storage_texts::kPreviousContentsBack).arg(path);
    case WriteOutcome::kNotRestored:
      return ui.GetText(storage_texts::kFileDamagedByWrite).arg(path);
    default:
      return {};
  }
}

void ShowSaveFailed(const WriteOutcome& outcome, const QString& path, StorageUi& ui) {
  const QString why = DescribeFailure(outcome, path, ui);
  if (why.isEmpty()) {
    ui.ShowMessage(kSaveFailedText, kOkOnly);
  } else {
    ui.ShowMessage(kSaveFailedText + QChar(13) + why, kExclamation);
  }
}

void TellRepairs(StorageUi& ui, const ModelRepairs& repairs, const RepairNames& names) {
  QString text = ui.GetText(storage_texts::kInconsistenciesRepaired).arg(repairs.Total());
  if (repairs.recordsRecovered > 0)
    text += QChar(13) + ui.GetText(storage_texts::kRecordsMovedToFolder).arg(names.recoveredFolder);
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

// Reads the file at path in place of db, as a load does, and shows it; false,
// telling the user, when it cannot be read. db stays as it was then.
bool ReadInPlaceOf(Database& db, const QString& path, StorageUi& ui) {
  // A file does not say its code page: it is read in the language's.
  std::optional<CodePage> codePage = CodePageNamed(ui.LanguageCodePage());
  if (!codePage) {
    ShowReadFailed(ui, false);
    return false;
  }
  const RepairNames names = ui.NamesForRepairs();
  // Taken before the read: a change while it runs is one the next save asks about.
  const FileIdentity file = IdentityOfDatabaseFile(path);
  ReadOutcome outcome = ReadDatabaseFile(
      path, *codePage, [&ui] { return ui.AskPassword(); },
      RecordProgress(ProgressWithText(ui, storage_texts::kLoadingDatabase)), names);
  if (outcome.status == ReadOutcome::kCancelled) return false;
  // A file that cannot be read leaves the open database as it was: the user
  // keeps their work, whatever they answered to saving it.
  if (outcome.status != ReadOutcome::kLoaded || !ui.CopyCompanionIcons(outcome.db.DatabasePath)) {
    ShowReadFailed(ui, outcome.askedPassword);
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

}  // namespace

bool SaveDatabase(Database& db, bool saveAs, StorageUi& ui) {
  if (RefuseInconsistent(db, ui)) return false;
  QString path = db.DatabasePath;
  bool askPath = db.DatabasePath == QLatin1String("noname") || saveAs;
  // Another program (a sync, a second machine, orbo-cli) wrote the file
  // since it was read or written here: its changes are not lost unasked.
  const FileIdentity known = ui.KnownFile();
  if (!askPath && known.exists && IdentityOfDatabaseFile(path) != known) {
    const MessageAnswer answer =
        ui.ShowMessage(ui.GetText(storage_texts::kFileChangedOnDisk).arg(path),
                       kYesNoCancel.Warning().NoByDefault());
    if (answer != kAnswerYes && answer != kAnswerNo) return false;
    askPath = answer == kAnswerNo;
  }
  if (askPath) {
    path = ui.AskSavePath();
    if (path.isEmpty()) return false;
  }
  // Every check that can refuse the save comes before anything changes.
  std::optional<CodePage> codePage = CodePageNamed(db.CodePageName);
  if (!codePage) {
    ui.ShowMessage(kSaveFailedText, kOkOnly);
    return false;
  }
  if (RefusePassword(db, *codePage, ui)) return false;
  if (IsWriteProtected(path)) {
    WriteOutcome refused;
    refused.fault = WriteOutcome::kWriteProtected;
    ShowSaveFailed(refused, path, ui);
    return false;
  }
  const Storable storable = AskStorable(db, *codePage, ui);
  if (storable == Storable::kNotSaving) return false;
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
      WriteDatabaseFile(replaced ? *replaced : db, path, *codePage,
                        RecordProgress(ProgressWithText(ui, storage_texts::kSavingDatabase)),
                        CreateTempBeside, ui.BackupsToKeep());
  if (!outcome.ok) {
    // The database keeps the name of the file that holds it.
    db.DatabasePath = previousPath;
    ui.UpdateTitle();
    ui.ShowProgress(kProgressEnd, {});
    ShowSaveFailed(outcome, path, ui);
    return false;
  }
  ui.SetKnownFile(outcome.written);
  // NUL becomes a space, as the file holds it.
  int changedTexts = 0;
  ui.ChangeAsStep(ui.GetText(storage_texts::kStorableTextsStep),
                  [&] { changedTexts = MakeTextsStorable(db, *codePage); });
  if (changedTexts > 0) ui.ShowChangedTexts();
  // The path as given: lower case names another file on a case-sensitive disk.
  ui.AddRecentFile(db.DatabasePath);
  ui.SetModified(false);
  if (outcome.inPlace)
    ui.ShowMessage(ui.GetText(storage_texts::kFolderRefusesNewFiles).arg(path), kExclamation);
  if (!outcome.backupKept) {
    ui.ShowMessage(ui.GetText(storage_texts::kBackupNotKept).arg(path, BackupFolderOf(path)),
                   kExclamation);
  }
  return true;
}

bool SaveDatabaseAs(Database& db, StorageUi& ui) { return SaveDatabase(db, true, ui); }

void LoadDatabase(Database& db, const QString& path, StorageUi& ui) {
  if (!AskSaveChanges(db, ui)) return;
  ui.SetEventsSuppressed(true);
  const QString chosen = path.isEmpty() ? ui.AskOpenPath() : path;
  if (!chosen.isEmpty() && ReadInPlaceOf(db, chosen, ui)) ui.AddRecentFile(db.DatabasePath);
  ui.SetEventsSuppressed(false);
}

bool OpenUnsaved(Database& db, const QString& file, const QString& path, StorageUi& ui) {
  // path may be db's own, which the read replaces.
  const QString target = path;
  if (!AskSaveChanges(db, ui)) return false;
  ui.SetEventsSuppressed(true);
  const bool read = ReadInPlaceOf(db, file, ui);
  if (read) {
    // Saved, it replaces the file at path as that is now.
    db.DatabasePath = target;
    ui.SetKnownFile(IdentityOfDatabaseFile(target));
    ui.SetModified(true);
    ui.UpdateTitle();
  }
  ui.SetEventsSuppressed(false);
  return read;
}

bool AskSaveChanges(Database& db, StorageUi& ui) {
  if (!db.Modified) return true;
  switch (ui.ShowMessage(ui.GetText(storage_texts::kAskSaveChanges), kYesNoCancel)) {
    case kAnswerYes:
      return SaveDatabase(db, false, ui);
    case kAnswerNo:
      return true;
    default:
      return false;
  }
}

void NewDatabaseCmd(Database& db, StorageUi& ui) {
  RecountBuffers(db);
  if (!AskSaveChanges(db, ui)) return;
  ui.NewDatabase();
  ui.SetKnownFile({});
  ui.RefreshWindow();
}

void ImportDatabase(Database& db, StorageUi& ui) {
  ui.SetEventsSuppressed(true);
  const QString path = ui.AskOpenPath();
  if (path.isEmpty()) {
    ui.SetEventsSuppressed(false);
    return;
  }
  // Read in the open database's code page, whose texts its file holds.
  std::optional<CodePage> codePage = CodePageNamed(db.CodePageName);
  const RepairNames names = ui.NamesForRepairs();
  MergeOutcome outcome;
  if (codePage) {
    ui.ChangeAsStep(ui.GetText(storage_texts::kMergeStep), [&] {
      outcome = MergeDatabaseFile(
          db, path, *codePage, [&ui] { return ui.AskPassword(); },
          ProgressWithText(ui, storage_texts::kLoadingDatabase), names);
    });
  }
  ui.SetEventsSuppressed(false);
  if (outcome.status == ReadOutcome::kCancelled) return;
  if (outcome.status == ReadOutcome::kFailed) {
    ShowReadFailed(ui, outcome.askedPassword);
    return;
  }
  ui.EnsureIcons();
  ui.ShowDatabase();
  if (outcome.repairs.Total() > 0) TellRepairs(ui, outcome.repairs, names);
}

}  // namespace orbo
