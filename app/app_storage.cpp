// App: what loading, saving and merging a database need from the window.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/app.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
#include "forms/editor/record_editor.h"
#include "shell/navigator.h"
#include "storage/new_database.h"

namespace orbo {
namespace {

constexpr auto kDatabaseFilter = "Corvane Database files (*.2db)|*.2db";

}  // namespace

QString App::AskOpenPath() {
  QString path = dialogs_.OpenFileName(window_.get(), texts.Get(960, 0),
                                       QLatin1String(kDatabaseFilter), lastOpenPath_);
  if (!path.isEmpty()) lastOpenPath_ = path;
  return path;
}

QString App::AskSavePath() {
  QString path = dialogs_.SaveFileName(window_.get(), texts.Get(960, 1),
                                       QLatin1String(kDatabaseFilter), QString());
  // The dialog does not add the extension on every desktop.
  if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".2db");
  return path;
}

QString App::AskPassword() { return AskText(texts.Get(680, 0), QString(), true); }

QString App::AskText(const QString& prompt, const QString& start, bool password,
                     const QString& browseFilter) {
  return dialogs_.AskText(window_.get(), texts, prompt, start, password, browseFilter);
}

void App::ShowProgress(int value, const QString& text) {
  window_->ShowProgress(value, text, texts.Get(815, 0));
}

void App::NewDatabase() {
  editor_->CloseMedia();
  orbo::NewDatabase(db, settings.DefaultFont);
  db.CodePageName = codePage_;
  state.CurForm = 0;
  state.CurRecord = 0;
  state.CurFolder = 0;
  funnel_.Reset();
}

bool App::CopyCompanionIcons(const QString& databasePath) {
  QDir companion(databasePath + QStringLiteral("files/Icons"));
  if (!companion.exists()) return true;
  QDir target(files_.Below(QStringLiteral("icons\\usericons\\New")));
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

void App::RefreshWindow() { ToDatabaseMode(); }

void App::ShowChangedTexts() {
  navigator_->RebuildTree();
  if (state.EditMode == 1) {
    canvas_->DrawForm(state.CurForm);
  } else if (state.CurRecord >= 0) {
    const int record = state.CurRecord;
    state.CurRecord = -1;
    navigator_->ShowRecord(record);
  } else {
    navigator_->ShowFolder(state.CurFolder);
  }
}

void App::ShowDatabase() {
  editor_->CloseMedia();
  // A form of the database that was replaced may not exist in this one.
  if (state.CurForm >= db.FormCount) state.CurForm = -1;
  RefreshWindow();
  // A saved database is already showing folder 0 after the refresh.
  if (state.CurRecord != -1 || state.CurFolder != 0) navigator_->ShowFolder(0);
}

}  // namespace orbo
