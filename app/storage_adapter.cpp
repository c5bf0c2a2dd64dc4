// What loading, saving and merging a database need from the window.
#include "app/storage_adapter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/app.h"
#include "app/app_services.h"
#include "app/app_texts.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
#include "forms/designer/mode_switch.h"
#include "forms/editor/record_editor.h"
#include "forms/icons/icon_image.h"
#include "query/access/access_exchange.h"
#include "shell/file_commands.h"
#include "shell/file_texts.h"
#include "shell/folder_tree_model.h"
#include "shell/integrity_texts.h"
#include "shell/missing_files_offer.h"
#include "shell/navigator.h"
#include "shell/new_names.h"
#include "shell/quick_filter_box.h"
#include "shell/recent_files.h"
#include "storage/data_path.h"
#include "storage/database_file.h"
#include "storage/new_database.h"

namespace orbo {
namespace {

WelcomeWords WelcomeWordsIn(const LanguageTexts& texts) {
  WelcomeWords words{texts.Get(app_texts::kWelcomeHeading),
                     {},
                     texts.Get(app_texts::kWelcomeFormNote),
                     texts.Get(app_texts::kWelcomeFolder)};
  for (int i = 0; i < 4; ++i) words.paragraphs << texts.Get(app_texts::kWelcomeParagraphs.Plus(i));
  return words;
}

}  // namespace

StorageAdapter::StorageAdapter(App& app, std::function<void()> saveSettings)
    : app_(app), saveSettings_(std::move(saveSettings)), watch_([this] { CheckFileOnDisk(); }) {}

QString StorageAdapter::AskOpenPath(TextId title) {
  WindowContext& c = app_.Context();
  QString path = c.dialogs.OpenFileName(&c.services.DialogParent(), c.texts.Get(title),
                                        c.texts.Get(app_texts::kDatabaseFilter),
                                        FileDialogStart(c.db.DatabasePath, lastOpenPath_));
  if (!path.isEmpty()) lastOpenPath_ = path;
  return path;
}

QString StorageAdapter::AskSavePath(TextId title) {
  WindowContext& c = app_.Context();
  QString path = c.dialogs.SaveFileName(&c.services.DialogParent(), c.texts.Get(title),
                                        c.texts.Get(app_texts::kDatabaseFilter),
                                        FileDialogStart(c.db.DatabasePath));
  // The dialog does not add the extension on every desktop.
  if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".2db");
  return path;
}

QString StorageAdapter::AskPassword() {
  WindowContext& c = app_.Context();
  return c.services.AskText(c.texts.Get(app_texts::kAskPassword), QString(), true);
}

MessageAnswer StorageAdapter::ShowMessage(const QString& text, MessageStyle style) {
  return app_.Context().services.ShowMessage(text, style);
}

QString StorageAdapter::GetText(TextId id) { return app_.Context().texts.Get(id); }

void StorageAdapter::ShowProgress(int value, const QString& text) {
  app_.Context().services.ShowProgress(value, text);
}

// The mark itself follows the undo stack; this tells the stack what it
// cannot see: a file now holds the model, or a change no step takes back.
void StorageAdapter::SetModified(bool value) {
  if (value) {
    app_.Context().funnel.MarkChangedOutside();
  } else {
    app_.Context().funnel.MarkSaved();
  }
}

void StorageAdapter::ModelReplaced() {
  app_.Context().funnel.Reset();
  ForgetDatabaseShown();
}

void StorageAdapter::ForgetDatabaseShown() {
  // The folders opened, the filter typed and the file chosen for an import
  // were those of the database replaced.
  app_.Parts().Tree().Clear();
  app_.Parts().QuickFilterBar().Clear();
  app_.Parts().Access().ForgetFiles();
}

void StorageAdapter::ChangeAsStep(const QString& name, const std::function<void()>& change) {
  app_.Context().funnel.Change(name, ChangeScope::Everything(), change);
}

void StorageAdapter::SetEventsSuppressed(bool value) {
  app_.Context().state.EventsSuppressed = value;
}

void StorageAdapter::SetKnownFile(const FileIdentity& file) {
  knownFile_ = file;
  const QString& path = app_.Context().db.DatabasePath;
  watch_.Follow(file.exists ? path : QString());
  CheckFileOnDisk();
}

void StorageAdapter::CheckFileOnDisk() {
  Database& db = app_.Context().db;
  const FileIdentity now = IdentityOfDatabaseFile(db.DatabasePath);
  const bool changed = knownFile_.exists && now != knownFile_;
  // A file deleted or moved away holds nothing to load again; the next
  // save writes it anew.
  const bool gone = changed && !now.exists;
  app_.Parts().services->SetFileNote(gone      ? std::optional(file_texts::kFileGoneNote)
                                     : changed ? std::optional(file_texts::kChangedOnDiskNote)
                                               : std::nullopt);
  if (!changed || gone || db.Modified || now == offered_) return;
  const bool asked = app_.Context().funnel.Run([&] {
    offered_ = now;
    if (ShowMessage(GetText(file_texts::kLoadChangedFile).arg(db.DatabasePath), kYesNo) ==
        kAnswerYes)
      OpenDatabase(app_.Context(), *this, db.DatabasePath);
  });
  if (!asked) watch_.CheckLater();
}

int StorageAdapter::BackupsToKeep() { return app_.Context().settings.BackupsKept; }

void StorageAdapter::UpdateTitle() { app_.Context().services.UpdateTitle(); }

void StorageAdapter::AddRecentFile(const QString& path) {
  if (orbo::AddRecentFile(app_.Context().settings.RecentFiles, path)) app_.BuildRecentMenu();
}

QString StorageAdapter::KnownCodePage(const QString& path) {
  return app_.Context().settings.FileCodePages.value(path);
}

void StorageAdapter::RememberCodePage(const QString& path, const QString& name) {
  QMap<QString, QString>& known = app_.Context().settings.FileCodePages;
  if (known.value(path) == name) return;
  known[path] = name;
  // At once, not only at the exit: a crash must not forget what was learnt.
  saveSettings_();
}

void StorageAdapter::NewDatabase() {
  WindowContext& c = app_.Context();
  app_.Parts().Editor().CloseMedia();
  orbo::NewDatabase(c.db, c.settings.DefaultFont, WelcomeWordsIn(c.texts),
                    NewNamesIn(c.texts, codePage_));
  c.db.CodePageName = codePage_;
  c.state.CurForm = 0;
  c.state.CurRecord = 0;
  c.state.CurFolder = 0;
  c.funnel.Reset();
  ForgetDatabaseShown();
}

bool StorageAdapter::CopyCompanionIcons(const QString& databasePath) {
  QDir companion(databasePath + QStringLiteral("files/Icons"));
  if (!companion.exists()) return true;
  QDir target(app_.Files().Below(QStringLiteral("icons\\usericons\\New")));
  if (!target.exists() && !QDir().mkpath(target.path())) return false;
  // Plain file names only: a listing gives no path parts, so nothing lands
  // outside the user icons.
  for (const QString& name : companion.entryList({QStringLiteral("*.bmp")}, QDir::Files)) {
    const QString destination = target.filePath(name);
    if (QFile::exists(destination) && !QFile::remove(destination)) return false;
    if (!QFile::copy(companion.filePath(name), destination)) return false;
  }
  return true;
}

void StorageAdapter::EnsureIcons() {
  const Database& db = app_.Context().db;
  ImageList& list = app_.Parts().Window().Icons();
  for (int f = 0; f < db.FormCount; ++f)
    EnsureIcon(list, app_.Parts().services->Icons(), db.Forms[f].Icon);
  for (int d = 0; d < db.FolderCount; ++d)
    EnsureIcon(list, app_.Parts().services->Icons(), db.Folders[d].Icon);
}

void StorageAdapter::RefreshWindow() { app_.Parts().Modes().ToDatabaseMode(); }

void StorageAdapter::ShowChangedTexts() {
  // The tree and the lists followed the step already; the shown record's
  // editors show its values again.
  const DisplayState& state = app_.Context().state;
  if (state.EditMode == WorkMode::Edit) {
    app_.Parts().Canvas().DrawForm(state.CurForm);
  } else {
    app_.Parts().Navigation().ShowPlaceAgain();
  }
}

void StorageAdapter::ShowDatabase() {
  DisplayState& state = app_.Context().state;
  app_.Parts().Editor().CloseMedia();
  // A form of the database that was replaced may not exist in this one.
  if (state.CurForm >= app_.Context().db.FormCount) state.CurForm = -1;
  RefreshWindow();
  // A saved database is already showing folder 0 after the refresh.
  if (state.CurRecord != -1 || state.CurFolder != 0) app_.Parts().Navigation().ShowFolder(0);
}

RepairNames StorageAdapter::NamesForRepairs() {
  return RepairNames{GetText(file_texts::kRecovered), app_.Context().settings.DefaultFont};
}

QString StorageAdapter::DescribeForUser(const Database& model, const ModelProblem& problem) {
  return UserProblemText(model, problem, app_.Context().texts);
}

QString StorageAdapter::DescribeForUser(const Database& model, const TextPlace& place) {
  return UserPlaceText(model, place, app_.Context().texts);
}

}  // namespace orbo
