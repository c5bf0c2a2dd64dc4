// Draws the help pages' pictures from the real program, offscreen, so that
// they show what the program shows: the main window, the designer, and each
// dialog a page explains, in the language given.
// Usage: help_screenshots LANGUAGE-FILE OUTPUT-FOLDER  (english.txt, ru/images)
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "../test_install.h"
#include "app/app.h"
#include "app/main_window.h"
#include "app/window_parts.h"
#include "forms/designer/form_designer.h"
#include "forms/designer/mode_switch.h"
#include "shell/file_commands.h"
#include "shell/intro_dialog.h"
#include "shell/navigator.h"

namespace {

// Saves each dialog the program runs as the picture named for it.
class PictureDialogs : public FakeDialogs {
 public:
  explicit PictureDialogs(QString folder) : folder_(std::move(folder)) {
    onModal = [this](QDialog& dialog) {
      dialog.show();
      // The import shows a table once it has one.
      if (auto* source = dialog.findChild<QPushButton*>("DBButt"); source && !openPath.isEmpty())
        source->click();
      QApplication::processEvents();
      Save(dialog, next);
      dialog.hide();
      return int(QDialog::Rejected);
    };
  }
  QString next;  // the picture the next dialog makes
  int saved = 0;

  void Save(QWidget& widget, const QString& name) {
    if (name.isEmpty()) return;
    const QString path = QDir(folder_).filePath(name + QStringLiteral(".png"));
    if (widget.grab().save(path)) {
      ++saved;
    } else {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    }
    next.clear();
  }

 private:
  QString folder_;
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() != 3) {
    std::fprintf(stderr, "usage: help_screenshots LANGUAGE-FILE OUTPUT-FOLDER\n");
    return 2;
  }
  const QString output = QDir(args[2]).absolutePath();
  if (!QDir().mkpath(output)) return 1;
  TestInstall install;
  install.Write("Texts/current.dat", args[1].toUtf8() + "\r\n");
  QFile::link(QStringLiteral(ORBO_BIN_DIR "/icons"), install.Path("icons"));
  PictureDialogs dialogs(output);
  orbo::App app(install.Path(), install.SettingsPath(), dialogs);
  if (!app.Main(QString())) return 1;
  orbo::MainWindow& window = app.Parts().Window();
  window.resize(900, 600);
  window.show();
  QApplication::processEvents();
  const auto menu = [&](const char* name, const char* picture) {
    dialogs.next = QString::fromLatin1(picture);
    window.Commands().Menu(name)->trigger();
    QApplication::processEvents();
    if (!dialogs.next.isEmpty()) std::fprintf(stderr, "%s showed no dialog\n", picture);
  };

  dialogs.next = QStringLiteral("start");
  app.ShowIntro(orbo::IntroDialog::kStartChoices);

  // The example, changed, saved and saved back, so that it has backups
  // to restore.
  const QString example = install.Path("example.2db");
  install.Copy(install.Path("data/examples/ex1.2db"), "example.2db");
  orbo::LoadDatabase(app.db, example, app.Storage());
  app.settings.BackupsKept = 3;
  QString& date = app.db.Records[0].TextValue[1];
  const QString kept = date;
  for (const QString& value : {kept + QStringLiteral(" "), kept}) {
    date = value;
    app.db.Modified = true;
    orbo::SaveDatabase(app.db, false, app.Storage());
  }
  orbo::Navigator& navigation = app.Parts().Navigation();
  navigation.ShowRecord(1);
  QApplication::processEvents();
  dialogs.Save(window, "window");

  menu("mnuFind", "find");
  menu("mnuSort", "sort");
  menu("mnuPrint", "print");
  install.Write("books.csv",
                "Title,Author,Shelf\r\nThe Hobbit,J. R. R. Tolkien,A1\r\n"
                "Emma,Jane Austen,B2\r\nDubliners,James Joyce,B3\r\n");
  dialogs.openPath = install.Path("books.csv");
  menu("mnuImAccess", "exchange");
  dialogs.openPath.clear();
  menu("mnuDBProps", "password");
  menu("mnuPref", "options");
  menu("mnuRestore", "backups");

  auto* filter = window.findChild<QLineEdit*>("QuickFilterText");
  if (filter) {
    navigation.ShowFolder(0);
    filter->setText(QStringLiteral("a"));
    QApplication::processEvents();
    dialogs.Save(window, "filter");
    filter->clear();
  }

  navigation.ShowRecord(1);
  app.Parts().Modes().ToEditMode();
  app.Parts().Designer().SelectElement(orbo::kText, 0);
  QApplication::processEvents();
  dialogs.Save(window, "design");

  std::printf("%d pictures in %s\n", dialogs.saved, qPrintable(output));
  app.db.Modified = false;
  return dialogs.saved == 11 ? 0 : 1;
}
