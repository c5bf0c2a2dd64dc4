#include "storage/database_commands.h"

#include "storage/database_file.h"
#include "storage/database_merge.h"

namespace orbo {
namespace {

const QString kSaveFailedText = QStringLiteral("Error while saving file");

constexpr int kLoadingText = 825;
constexpr int kSavingText = 826;
constexpr int kLoadFailedText = 500;
constexpr int kAskSaveText = 510;

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

}  // namespace

bool SaveDatabase(Database& db, bool saveAs, StorageUi& ui) {
  if (db.DatabasePath == QLatin1String("noname") || saveAs) {
    const QString path = ui.AskSavePath();
    if (path.isEmpty()) return false;
    db.DatabasePath = path;
    ui.UpdateTitle();
  }
  CodePage codePage;
  const WriteOutcome outcome = WriteDatabaseFile(db, db.DatabasePath, codePage,
                                                 RecordProgress(ProgressWithText(ui, kSavingText)));
  if (!outcome.ok) {
    ui.ShowProgress(kProgressEnd, {});
    ui.ShowMessage(kSaveFailedText, kOkOnly);
    return false;
  }
  ui.AddRecentFile(db.DatabasePath.toLower());
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
  CodePage codePage;
  ReadOutcome outcome = ReadDatabaseFile(
      chosen, codePage, [&ui] { return ui.AskPassword(); },
      RecordProgress(ProgressWithText(ui, kLoadingText)));
  if (outcome.status == ReadOutcome::kCancelled) {
    ui.SetEventsSuppressed(false);
    return;
  }
  // A file that cannot be read leaves the open database as it was: the user
  // keeps their work, whatever they answered to saving it.
  if (outcome.status == ReadOutcome::kLoaded && ui.CopyCompanionIcons(outcome.db.DatabasePath)) {
    db = std::move(outcome.db);
    ui.SetModified(false);
    ui.SetEventsSuppressed(false);
    ui.EnsureIcons();
    ui.ShowDatabase();
    ui.AddRecentFile(db.DatabasePath);
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
  CodePage codePage;
  const MergeOutcome outcome = MergeDatabaseFile(
      db, path, codePage, [&ui] { return ui.AskPassword(); }, ProgressWithText(ui, kLoadingText));
  ui.SetEventsSuppressed(false);
  if (outcome.status == ReadOutcome::kCancelled) return;
  if (outcome.status == ReadOutcome::kFailed) {
    ShowReadFailed(ui, outcome.askedPassword);
    return;
  }
  ui.EnsureIcons();
  ui.ShowDatabase();
  ui.SetModified(true);
}

}  // namespace orbo
