// App: the record and folder icons: making sure every key has a picture,
// the user icons, the picker and importing a picture as an icon.
#include <QDir>
#include <QRandomGenerator>

#include "app/app.h"
#include "app/main_window.h"
#include "forms/icons/icon_image.h"
#include "forms/icons/icon_picker_dialog.h"
#include "storage/picture_reader.h"

namespace orbo {

IconFolders App::Icons() const {
  return {files_.Below(QStringLiteral("icons\\usericons")),
          files_.Below(QStringLiteral("icons\\noico.bmp"))};
}

void App::LoadUserIcons() {
  if (userIconsLoaded_) return;
  const QString text = texts.Get(840, 0);
  orbo::LoadUserIcons(window_->Icons(), Icons(), [&](int share) { ShowProgress(share, text); });
  ShowProgress(200, QString());
  userIconsLoaded_ = true;
}

QString App::ChooseIcon(const QString& key) {
  LoadUserIcons();
  if (!picker_) {
    picker_ = std::make_unique<IconPickerDialog>(window_->Icons(), window_.get());
    QObject::connect(picker_.get(), &IconPickerDialog::importRequested, picker_.get(),
                     [this] { ImportIcon(); });
  }
  picker_->Prepare(texts, key);
  // Choosing changes nothing yet: the caller's undo step stores the icon.
  if (dialogs_.RunModal(*picker_) != QDialog::Accepted) return key;
  return picker_->Result();
}

void App::ImportIcon() {
  const QString path =
      dialogs_.OpenFileName(picker_.get(), texts.Get(960, 8), texts.Get(960, 9), QString());
  if (path.isEmpty()) return;
  std::optional<QImage> picture = ReadPicture(path);
  if (!picture) {
    ShowMessage(texts.Get(961, 4), kExclamation);
    return;
  }
  ShowProgress(0, texts.Get(815, 0));
  const QImage icon = MakeIcon16(*picture);
  ShowProgress(200, QString());
  const QDir folder(Icons().userIcons + QStringLiteral("/New"));
  if (!folder.exists() && !QDir().mkpath(folder.path())) return;
  const QString name = ImportedIconName(
      path, folder, [] { return static_cast<int>(QRandomGenerator::global()->bounded(30000)); });
  if (!icon.save(folder.filePath(name), "BMP")) {
    ShowMessage(texts.Get(961, 4), kExclamation);
    return;
  }
  userIconsLoaded_ = false;
  LoadUserIcons();
  picker_->Redraw();
}

}  // namespace orbo
