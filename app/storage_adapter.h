// What loading, saving and merging a database need from the window, for the
// App: file dialogs, the refreshes after the model was replaced, the recent
// files, the icons and the words of repairs and refusals.
#pragma once

#include <QString>
#include <functional>

#include "app/file_watch.h"
#include "shell/file_commands_ui.h"
#include "storage/model_delta.h"

namespace orbo {

class App;

class StorageAdapter : public FileCommandsUi {
 public:
  // saveSettings writes the settings file at once.
  StorageAdapter(App& app, std::function<void()> saveSettings);

  // The chosen language's code page: files read and databases made from now on.
  void SetLanguageCodePage(const QString& name) { codePage_ = name; }

  QString AskOpenPath(TextId title) override;
  QString AskSavePath(TextId title) override;
  QString AskPassword() override;
  MessageAnswer ShowMessage(const QString& text, MessageStyle style) override;
  QString GetText(TextId id) override;
  void ShowProgress(int value, const QString& text) override;
  void SetModified(bool value) override;
  void ModelReplaced() override;
  void ChangeAsStep(const QString& name, const std::function<void()>& change) override;
  void SetEventsSuppressed(bool value) override;
  void UpdateTitle() override;
  void AddRecentFile(const QString& path) override;
  void NewDatabase() override;
  bool CopyCompanionIcons(const QString& databasePath) override;
  void EnsureIcons() override;
  void RefreshWindow() override;
  void ShowDatabase() override;
  void ShowChangedTexts() override;
  int BackupsToKeep() override;
  FileIdentity KnownFile() override { return knownFile_; }
  void SetKnownFile(const FileIdentity& file) override;
  QString LanguageCodePage() override { return codePage_; }
  QString KnownCodePage(const QString& path) override;
  void RememberCodePage(const QString& path, const QString& name) override;
  RepairNames NamesForRepairs() override;
  QString DescribeForUser(const Database& model, const ModelProblem& problem) override;
  QString DescribeForUser(const Database& model, const TextPlace& place) override;

 private:
  // The open folders, the quick filter and the import's file belong to the
  // database replaced.
  void ForgetDatabaseShown();
  App& app_;
  std::function<void()> saveSettings_;
  QString lastOpenPath_;
  QString codePage_ = QString::fromLatin1(kDefaultCodePage);
  // Says in the status bar when another program changed the file, and
  // offers to load it again while the database has no unsaved changes.
  void CheckFileOnDisk();

  FileIdentity knownFile_;
  // The version of the file the user was last offered to load.
  FileIdentity offered_;
  FileWatch watch_;
};

}  // namespace orbo
