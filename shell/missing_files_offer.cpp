#include "shell/missing_files_offer.h"

#include <QDir>

#include "shell/file_commands.h"
#include "shell/shell_texts.h"
#include "shell/window_context.h"
#include "storage/data_path.h"
#include "storage/missing_files.h"

namespace orbo {

void OfferToFindMissingFiles(WindowContext& context) {
  Database& db = context.db;
  const std::vector<FileReference> missing = MissingFiles(db);
  if (missing.empty()) return;
  const LanguageTexts& t = context.texts;
  WindowServices& services = context.services;
  const QString example =
      QDir::toNativeSeparators(ResolveDataPath(missing.front().stored, db.DatabasePath));
  const QString told = t.Count(shell_texts::kMissingFiles, DistinctFiles(missing)) + u'\r' +
                       example + QStringLiteral("\r\r") + t.Get(shell_texts::kLookForMissingFiles);
  if (services.ShowMessage(told, kYesNo) != kAnswerYes) return;
  const QString folder = context.dialogs.ExistingFolder(&services.DialogParent(),
                                                        t.Get(shell_texts::kFindMissingFilesTitle),
                                                        FileDialogStart(db.DatabasePath));
  if (folder.isEmpty()) return;
  const QString shownFolder = QDir::toNativeSeparators(folder);
  const std::vector<FoundFile> found = FindInFolder(missing, folder);
  if (found.empty()) {
    services.ShowMessage(t.Get(shell_texts::kNoMissingFileFound).arg(shownFolder), kExclamation);
    return;
  }
  std::vector<FileReference> foundReferences;
  for (const FoundFile& file : found) foundReferences.push_back(file.reference);
  const QString question =
      t.Count(shell_texts::kMissingFilesFound, DistinctFiles(foundReferences)).arg(shownFolder) +
      QStringLiteral("\r\r") + t.Get(shell_texts::kNameFilesFound);
  if (services.ShowMessage(question, kYesNo) != kAnswerYes) return;
  context.funnel.Change(t.Get(shell_texts::kNameFilesFoundStep), ScopeOfPointingAtFoundFiles(found),
                        [&] { PointAtFoundFiles(db, found); });
}

void OpenDatabase(WindowContext& context, FileCommandsUi& storage, const QString& path) {
  if (LoadDatabase(context.db, path, storage)) OfferToFindMissingFiles(context);
}

}  // namespace orbo
