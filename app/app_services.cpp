// What the features ask of the window, and the record and folder icons: the
// user icons, the picker and importing a picture as an icon.
#include "app/app_services.h"

#include <QDir>
#include <QLabel>
#include <QRandomGenerator>
#include <QStatusBar>

#include "app/app_texts.h"
#include "app/main_window.h"
#include "forms/icons/icon_image.h"
#include "forms/icons/icon_picker_dialog.h"
#include "shell/common_texts.h"
#include "shell/help_pages.h"
#include "shell/help_window.h"
#include "shell/window_texts.h"
#include "storage/data_path.h"
#include "storage/picture_reader.h"

namespace orbo {

AppServices::AppServices(MainWindow& window, Dialogs& dialogs, const LanguageTexts& texts,
                         const WorkingFiles& files, const Database& db, const DisplayState& state)
    : window_(window), dialogs_(dialogs), texts_(texts), files_(files), db_(db), state_(state) {}

AppServices::~AppServices() = default;

IconFolders AppServices::Icons() const {
  return {files_.Below(QStringLiteral("icons\\usericons")),
          files_.Below(QStringLiteral("icons\\noico.bmp"))};
}

void AppServices::LoadUserIcons() {
  if (userIconsLoaded_) return;
  const QString text = texts_.Get(app_texts::kLoadingIcons);
  orbo::LoadUserIcons(window_.Icons(), Icons(), [&](int share) { ShowProgress(share, text); });
  ShowProgress(200, QString());
  userIconsLoaded_ = true;
}

void AppServices::HideDialogs() {
  for (QWidget* dialog : std::initializer_list<QWidget*>{picker_.get(), help_.get()}) {
    if (dialog) dialog->hide();
  }
}

QWidget& AppServices::DialogParent() { return window_; }

MessageAnswer AppServices::ShowMessage(const QString& text, MessageStyle style) {
  return dialogs_.ShowMessage(&window_, text, style);
}

void AppServices::ShowProgress(int value, const QString& text) {
  window_.ShowProgress(value, text, texts_.Get(common_texts::kPleaseWait));
}

bool AppServices::Busy() const { return window_.Busy(); }

void AppServices::ShowStatusMessage(const QString& text, int seconds) {
  window_.statusBar()->showMessage(text, seconds * 1000);
}

void AppServices::ShowHelp(int topic) {
  if (!help_) help_ = std::make_unique<HelpWindow>(&window_, texts_);
  help_->ShowTopic(
      HelpFolder(files_.Below(QStringLiteral("help")), texts_.Get(app_texts::kQtLocale)), topic);
}

QString AppServices::AskText(const QString& prompt, const QString& start, bool password,
                             const QString& browseFilter) {
  return dialogs_.AskText(&window_, texts_, prompt, start, password, browseFilter);
}

QString AppServices::ChooseIcon(const QString& key) {
  LoadUserIcons();
  if (!picker_) {
    picker_ = std::make_unique<IconPickerDialog>(window_.Icons(), &window_);
    QObject::connect(picker_.get(), &IconPickerDialog::importRequested, picker_.get(),
                     [this] { ImportIcon(); });
  }
  picker_->Prepare(texts_, key);
  // Choosing changes nothing yet: the caller's undo step stores the icon.
  if (dialogs_.RunModal(*picker_) != QDialog::Accepted) return key;
  return picker_->Result();
}

void AppServices::ImportIcon() {
  const QString path = dialogs_.OpenFileName(picker_.get(), texts_.Get(app_texts::kImportIconTitle),
                                             texts_.Get(common_texts::kPictureFilter),
                                             FileDialogStart(db_.DatabasePath));
  if (path.isEmpty()) return;
  std::optional<QImage> picture = ReadPicture(path);
  if (!picture) {
    ShowMessage(texts_.Get(app_texts::kPictureUnreadable), kExclamation);
    return;
  }
  ShowProgress(0, texts_.Get(common_texts::kPleaseWait));
  const QImage icon = MakeIcon16(*picture);
  ShowProgress(200, QString());
  const QDir folder(Icons().userIcons + QStringLiteral("/New"));
  if (!folder.exists() && !QDir().mkpath(folder.path())) return;
  const QString name = ImportedIconName(
      path, folder, [] { return static_cast<int>(QRandomGenerator::global()->bounded(30000)); });
  if (!icon.save(folder.filePath(name), "BMP")) {
    ShowMessage(texts_.Get(app_texts::kPictureUnreadable), kExclamation);
    return;
  }
  userIconsLoaded_ = false;
  LoadUserIcons();
  picker_->Redraw();
}

QIcon AppServices::IconFor(const QString& key) { return window_.IconFor(key); }

QLabel& AppServices::StatusPanel(const QString& key) { return window_.StatusPanel(key); }

void AppServices::ShowFolderView(bool folder) { window_.ShowFolderView(folder); }

void AppServices::UpdateTitle() {
  window_.setWindowTitle(WindowTitle(db_, state_.EditMode, state_.CurRecord, texts_));
}

void AppServices::UpdateStatusBar() {
  const QString counts = StatusCountsText(db_, texts_);
  window_.StatusPanel("main").setText(
      fileNote_ ? counts + QStringLiteral("    ") + texts_.Get(*fileNote_) : counts);
  window_.StatusPanel("worktype")
      .setText(texts_.Get(common_texts::kModeNames.Plus(static_cast<int>(state_.EditMode))));
  QLabel& grid = window_.StatusPanel("grid");
  grid.setText(texts_.Get(app_texts::kGridPanel));
  grid.setVisible(state_.EditMode == WorkMode::Edit);
}

}  // namespace orbo
