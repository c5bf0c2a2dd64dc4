// What the load, save and merge commands need from the window: dialogs,
// messages, progress and the refreshes after a database changed. The main
// window fills it; tests replace it.
#pragma once

#include <QString>
#include <functional>

#include "shell/message_style.h"
#include "storage/code_page.h"
#include "storage/encrypted_file.h"
#include "storage/model_invariants.h"
#include "storage/model_repair.h"
#include "storage/save_target.h"
#include "storage/storable_text.h"
#include "storage/text_id.h"

namespace orbo {

class FileCommandsUi {
 public:
  virtual ~FileCommandsUi() = default;

  // The open and save dialogs for database files, titled for what the file
  // is chosen for; empty when cancelled.
  virtual QString AskOpenPath(TextId title) = 0;
  virtual QString AskSavePath(TextId title) = 0;
  // The text input dialog in password mode; empty when cancelled.
  virtual QString AskPassword() = 0;

  virtual MessageAnswer ShowMessage(const QString& text, MessageStyle style) = 0;
  virtual QString GetText(TextId id) = 0;
  virtual void ShowProgress(int value, const QString& text) = 0;

  virtual void SetModified(bool value) = 0;
  // The model was replaced by another one (loaded): nothing done to the old
  // one can be taken back.
  virtual void ModelReplaced() {}
  // Runs change, which changes the model, as one step the user can take
  // back, named name.
  virtual void ChangeAsStep(const QString& name, const std::function<void()>& change) {
    (void)name;
    change();
  }
  virtual void SetEventsSuppressed(bool value) = 0;
  virtual void UpdateTitle() = 0;
  virtual void AddRecentFile(const QString& path) = 0;

  // Replaces the model with the new database and its example form.
  virtual void NewDatabase() = 0;
  // Copies the *.bmp files of the database's companion icon folder to the
  // user icons; false when one cannot be copied.
  virtual bool CopyCompanionIcons(const QString& databasePath) = 0;
  // Gives every form and folder icon key a picture.
  virtual void EnsureIcons() = 0;
  // Refreshes the main window for the current mode.
  virtual void RefreshWindow() = 0;
  // Refreshes the main window for the current mode and opens folder 0.
  virtual void ShowDatabase() = 0;
  // Texts of the model were changed to what a file can hold: the views
  // show them again where they are.
  virtual void ShowChangedTexts() {}

  // How many of the versions a save replaces are kept as backups.
  virtual int BackupsToKeep() { return 0; }
  // What deriving the key of an encrypted file costs its saves.
  virtual KeyCost SealCost() { return KeyCost::Standard(); }
  // What the open database's file was when it was last read or written
  // here; exists is false when there is none (a new database).
  virtual FileIdentity KnownFile() { return {}; }
  virtual void SetKnownFile(const FileIdentity& file) { (void)file; }

  // The code page of the chosen language: new databases are made with it,
  // and files are read in it that neither it is known for nor their texts
  // tell. An open database keeps its own.
  virtual QString LanguageCodePage() { return QString::fromLatin1(kDefaultCodePage); }
  // The code page the file at path (canonical) was last read or written in
  // here; empty when it is not known.
  virtual QString KnownCodePage(const QString& path) {
    (void)path;
    return {};
  }
  virtual void RememberCodePage(const QString& path, const QString& name) {
    (void)path;
    (void)name;
  }
  // What repairs call the objects they add.
  virtual RepairNames NamesForRepairs() { return {}; }
  // A problem that stops a save, and where a text lies, for the user.
  virtual QString DescribeForUser(const Database&, const ModelProblem& problem) {
    return DescribeProblem(problem);
  }
  virtual QString DescribeForUser(const Database&, const TextPlace& place) {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(place.kind)
        .arg(place.index)
        .arg(place.type)
        .arg(place.slot);
  }
};

}  // namespace orbo
