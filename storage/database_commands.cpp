#include "storage/database_commands.h"

#include <optional>

#include "storage/database_file.h"
#include "storage/database_merge.h"
#include "storage/storage_error.h"

namespace orbo {
namespace {

const QString kSaveFailedText = QStringLiteral("Error while saving file");

constexpr int kLoadingText = 825;
constexpr int kSavingText = 826;
constexpr int kLoadFailedText = 500;
constexpr int kAskSaveText = 510;
// Repairs, refused saves and texts a file cannot hold.
constexpr int kIntegrityTexts = 962;
constexpr int kShownPlaces = 5;

RecordProgress::ShowFn ProgressWithText(StorageUi& ui, int group) {
  const QString text = ui.GetText(group, 0);
  return [&ui, text](int value) { ui.ShowProgress(value, text); };
}

void ShowReadFailed(StorageUi& ui, bool askedPassword) {
  ui.ShowProgress(kProgressEnd, {});
  QString text = ui.GetText(kLoadFailedText, 0) + QChar(13) + ui.GetText(kLoadFailedText, 1);
  if (askedPassword) text += QChar(13) + ui.GetText(kLoadFailedText, 2);
  ui.ShowMessage(text, kExclamation);
}

// A model that breaks its invariants would give a file that never opens
// again: the user is shown what is wrong and the old file stays.
bool RefuseInconsistent(const Database& db, StorageUi& ui) {
  const std::vector<ModelProblem> problems = FindModelProblems(db, kShownPlaces);
  if (problems.empty()) return false;
  QString text = ui.GetText(kIntegrityTexts, 3);
  for (const ModelProblem& problem : problems) text += QChar(13) + ui.DescribeForUser(db, problem);
  ui.ShowMessage(text, kExclamation);
  return true;
}

// Texts the code page cannot hold are named; the user may save them with
// "?" in place of those characters. NUL becomes a space silently, as the
// file would hold it. False: the user would rather not save.
bool MakeStorable(Database& db, CodePage& codePage, StorageUi& ui) {
  const std::vector<TextPlace> places = FindUnstorableTexts(db, codePage, kShownPlaces + 1);
  if (!places.empty()) {
    QString text = ui.GetText(kIntegrityTexts, 4).arg(codePage.Name());
    for (std::size_t i = 0; i < places.size() && i < kShownPlaces; ++i) {
      text += QStringLiteral("\r- ") + ui.DescribeForUser(db, places[i]);
    }
    if (places.size() > kShownPlaces) text += QStringLiteral("\r- ") + ui.GetText(kIntegrityTexts, 6);
    text += QStringLiteral("\r\r") + ui.GetText(kIntegrityTexts, 5);
    if (ui.ShowMessage(text, kYesNo + kExclamation) != kAnswerYes) return false;
  }
  if (MakeTextsStorable(db, codePage) > 0) ui.ShowChangedTexts();
  return true;
}

void TellRepairs(StorageUi& ui, const ModelRepairs& repairs, const RepairNames& names) {
  QString text = ui.GetText(kIntegrityTexts, 0).arg(repairs.Total());
  if (repairs.recordsRecovered > 0) text += QChar(13) + ui.GetText(kIntegrityTexts, 2).arg(names.recoveredFolder);
  ui.ShowMessage(text, kExclamation);
}

// The code page the window asks for; an unusable one fails the command.
std::optional<CodePage> CodePageOf(StorageUi& ui) {
  try {
    return CodePage(ui.CodePageName());
  } catch (const StorageError&) {
    return std::nullopt;
  }
}

}  // namespace

bool SaveDatabase(Database& db, bool saveAs, StorageUi& ui) {
  if (RefuseInconsistent(db, ui)) return false;
  QString path = db.DatabasePath;
  if (db.DatabasePath == QLatin1String("noname") || saveAs) {
    path = ui.AskSavePath();
    if (path.isEmpty()) return false;
  }
  std::optional<CodePage> codePage = CodePageOf(ui);
  if (codePage && !MakeStorable(db, *codePage, ui)) return false;
  const QString previousPath = db.DatabasePath;
  db.DatabasePath = path;
  ui.UpdateTitle();
  const WriteOutcome outcome =
      codePage ? WriteDatabaseFile(db, path, *codePage, RecordProgress(ProgressWithText(ui, kSavingText)))
               : WriteOutcome{false, QStringLiteral("unknown code page")};
  if (!outcome.ok) {
    // The database keeps the name of the file that holds it.
    db.DatabasePath = previousPath;
    ui.UpdateTitle();
    ui.ShowProgress(kProgressEnd, {});
    ui.ShowMessage(kSaveFailedText, kOkOnly);
    return false;
  }
  // The path as given: lower case names another file on a case-sensitive disk.
  ui.AddRecentFile(db.DatabasePath);
  ui.SetModified(false);
  return true;
}

bool SaveDatabaseAs(Database& db, StorageUi& ui) { return SaveDatabase(db, true, ui); }

void LoadDatabase(Database& db, const QString& path, StorageUi& ui) {
  if (!AskSaveChanges(db, ui)) return;
  ui.SetEventsSuppressed(true);
  const QString chosen = path.isEmpty() ? ui.AskOpenPath() : path;
  if (chosen.isEmpty()) {
    ui.SetEventsSuppressed(false);
    return;
  }
  std::optional<CodePage> codePage = CodePageOf(ui);
  if (!codePage) {
    ShowReadFailed(ui, false);
    ui.SetEventsSuppressed(false);
    return;
  }
  const RepairNames names = ui.NamesForRepairs();
  ReadOutcome outcome = ReadDatabaseFile(
      chosen, *codePage, [&ui] { return ui.AskPassword(); },
      RecordProgress(ProgressWithText(ui, kLoadingText)), names);
  if (outcome.status == ReadOutcome::kCancelled) {
    ui.SetEventsSuppressed(false);
    return;
  }
  // A file that cannot be read leaves the open database as it was: the user
  // keeps their work, whatever they answered to saving it.
  if (outcome.status == ReadOutcome::kLoaded && ui.CopyCompanionIcons(outcome.db.DatabasePath)) {
    db = std::move(outcome.db);
    ModelRepairs repairs = outcome.repairs;
    repairs += RepairForWindow(db, names);
    ui.SetModified(false);
    ui.SetEventsSuppressed(false);
    ui.EnsureIcons();
    ui.ShowDatabase();
    ui.AddRecentFile(db.DatabasePath);
    if (repairs.Total() > 0) {
      TellRepairs(ui, repairs, names);
      ui.SetModified(true);
    }
    return;
  }
  ShowReadFailed(ui, outcome.askedPassword);
  ui.SetEventsSuppressed(false);
}

bool AskSaveChanges(Database& db, StorageUi& ui) {
  if (!db.Modified) return true;
  switch (ui.ShowMessage(ui.GetText(kAskSaveText, 0), kYesNoCancel)) {
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
  ui.RefreshWindow();
}

void ImportDatabase(Database& db, StorageUi& ui) {
  ui.SetEventsSuppressed(true);
  const QString path = ui.AskOpenPath();
  if (path.isEmpty()) {
    ui.SetEventsSuppressed(false);
    return;
  }
  std::optional<CodePage> codePage = CodePageOf(ui);
  const RepairNames names = ui.NamesForRepairs();
  const MergeOutcome outcome =
      codePage ? MergeDatabaseFile(
                     db, path, *codePage, [&ui] { return ui.AskPassword(); }, ProgressWithText(ui, kLoadingText),
                     names)
               : MergeOutcome{};
  ui.SetEventsSuppressed(false);
  if (outcome.status == ReadOutcome::kCancelled) return;
  if (outcome.status == ReadOutcome::kFailed) {
    ShowReadFailed(ui, outcome.askedPassword);
    return;
  }
  ui.EnsureIcons();
  ui.ShowDatabase();
  ui.SetModified(true);
  if (outcome.repairs.Total() > 0) TellRepairs(ui, outcome.repairs, names);
}

}  // namespace orbo
