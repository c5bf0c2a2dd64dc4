// The text input dialog, asking for texts and passwords, and icons: the
// picker's import and the icons a database brings along.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "../test_install.h"
#include "app/app.h"
#include "app/main_window.h"
#include "forms/icons/icon_picker_dialog.h"
#include "shell/input_dialog.h"
#include "shell/qt_dialogs.h"

using namespace orbo;

namespace {

QImage Filled(QRgb colour, int size = 16) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(colour);
  return image;
}

// Answers the modal dialogs the real dialog layer opens, as a user would:
// each text prompt gets the password and OK; the database properties get
// their protection box ticked, then OK. Polls, as the dialogs block.
struct ModalAnswers {
  bool ticked = false;
  int prompts = 0;
  bool done = false;

  void Poll() {
    if (done) return;
    QTimer::singleShot(20, [this] { Answer(); });
  }
  void Answer() {
    QWidget* modal = QApplication::activeModalWidget();
    Poll();  // before a click that opens the next dialog and blocks
    if (auto* input = qobject_cast<InputDialog*>(modal)) {
      ++prompts;
      Child<QLineEdit>(*input, "Text1").setText("secret");
      Child<QPushButton>(*input, "OkButt").click();
    } else if (auto* protect = modal ? modal->findChild<QCheckBox*>("CodeCheck1") : nullptr) {
      if (!ticked) {
        ticked = true;
        protect->click();
      } else {
        done = true;
        Child<QPushButton>(*modal, "OkButt").click();
      }
    }
  }
};

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  // Browsing is offered for a real filter only; only OK or Return take the text.
  void inputDialogAnswers_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("password");
    QTest::addColumn<int>("ending");
    QTest::addColumn<QString>("result");
    QTest::newRow("cancelled") << "*" << false << 0 << "old";
    QTest::newRow("browsed, then Return") << "Files|*.*" << true << 1 << "/picked/Files|*.*";
  }
  void inputDialogAnswers() {
    QFETCH(QString, filter);
    QFETCH(bool, password);
    QFETCH(int, ending);
    LanguageTexts english;
    english.Load(QStringLiteral(ORBO_SOURCE_DIR "/resources/Texts/english.txt"));
    InputDialog dialog(nullptr);
    auto* text = dialog.findChild<QLineEdit*>("Text1");
    auto* browse = dialog.findChild<QPushButton*>("BrowseButt");
    dialog.Prepare(english, "Name?", "old", password, filter,
                   [](const QString& f) { return "/picked/" + f; });
    dialog.show();
    QCOMPARE(text->echoMode(), password ? QLineEdit::Password : QLineEdit::Normal);
    text->setText("typed");
    QCOMPARE(browse->isHidden(), filter.size() < 2);
    if (!browse->isHidden()) browse->click();
    if (ending == 0) dialog.findChild<QPushButton*>("CancelButt")->click();
    if (ending == 1) QTest::keyClick(text, Qt::Key_Return);
    QTEST(dialog.Result(), "result");
    QVERIFY(dialog.isHidden());
  }

  // An imported picture becomes a user icon of the group "New"; the first
  // round picks it, the second cancels.
  void chooseIconAndImport() {
    RunningApp running;
    App& app = running.app;
    const TestInstall& install = running.install;
    QDir(install.Path()).mkpath("icons/usericons/Pets");
    QVERIFY(Filled(qRgb(9, 9, 9)).save(install.Path("icons/usericons/Pets/cat.bmp")));
    QVERIFY(Filled(qRgb(200, 0, 0)).save(install.Path("icons/noico.bmp")));
    QVERIFY(Filled(qRgb(0, 0, 250), 32).save(install.Path("holiday.png")));
    running.dialogs.openPath = install.Path("holiday.png");
    int selectedAtStart = -1;
    running.dialogs.onModal = [&](QDialog& dialog) -> int {
      auto* picker = static_cast<IconPickerDialog*>(&dialog);
      if (selectedAtStart >= 0) return QDialog::Rejected;
      selectedAtStart = picker->Selected();
      picker->findChild<QPushButton*>("AddIconButt")->click();
      picker->Select(app.Parts().Window().Icons().IndexOf("New\\holiday.bmp") + 1);
      picker->findChild<QPushButton*>("OkButt")->click();
      return picker->result();
    };
    app.Storage().SetModified(false);
    QCOMPARE(app.Services().ChooseIcon("Pets\\cat.bmp"), QString("New\\holiday.bmp"));
    QCOMPARE(selectedAtStart, app.Parts().Window().Icons().IndexOf("Pets\\cat.bmp") + 1);
    QVERIFY(!app.db.Modified);  // the caller's step stores the choice
    QCOMPARE(QImage(install.Path("icons/usericons/New/holiday.bmp")).pixel(4, 4), qRgb(0, 0, 250));
    app.Storage().SetModified(false);
    QCOMPARE(app.Services().ChooseIcon("record"), QString("record"));
    QVERIFY(!app.db.Modified);
  }

  // Icons in the database's companion folder join the user icons; an icon
  // found nowhere shows the no-icon picture.
  void companionIcons() {
    RunningApp running;
    App& app = running.app;
    const TestInstall& install = running.install;
    QDir(install.Path()).mkpath("pets.2dbfiles/Icons");
    QDir(install.Path()).mkpath("icons");
    QVERIFY(Filled(qRgb(0, 128, 0)).save(install.Path("pets.2dbfiles/Icons/pet.bmp")));
    QVERIFY(Filled(qRgb(255, 0, 255)).save(install.Path("icons/noico.bmp")));
    QVERIFY(app.Storage().CopyCompanionIcons(install.Path("pets.2db")));
    QVERIFY(QFile::exists(install.Path("icons/usericons/New/pet.bmp")));
    app.db.Forms[0].Icon = "New\\pet.bmp";
    app.db.Folders[0].Icon = "nowhere\\gone.bmp";
    app.Storage().EnsureIcons();
    QCOMPARE(app.Parts().Window().Icons().Image("New\\pet.bmp").pixel(2, 2), qRgb(0, 128, 0));
    QCOMPARE(app.Parts().Window().Icons().Image("nowhere\\gone.bmp").pixel(2, 2),
             qRgb(255, 0, 255));
  }

  // A message of one word still shows the program's whole name as its
  // title: the box is wider than the title.
  void aShortMessageKeepsItsTitleWhole() {
    QtDialogs dialogs;
    int boxWidth = 0;
    int titleWidth = 0;
    QTimer::singleShot(50, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      boxWidth = box->width();
      titleWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
      box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(dialogs.ShowMessage(nullptr, "Done.", kOkOnly), kAnswerOk);
    QVERIFY2(boxWidth > titleWidth + 100,
             qPrintable(QStringLiteral("%1 for a title of %2").arg(boxWidth).arg(titleWidth)));
  }

  // The real dialog layer through the password prompts of the database
  // properties, then the program ends: each dialog has one owner, so the
  // end frees nothing twice (the sanitizer build would stop here).
  void realDialogsAskForAPasswordAndTheProgramEnds() {
    qputenv("ORBO_MESSAGES", "auto");  // messages answer themselves
    TestInstall install;
    QtDialogs dialogs;
    {
      App app(install.Path(), install.SettingsPath(), dialogs);
      app.Main("x");
      ModalAnswers answers;
      answers.Poll();
      app.Parts().Window().Commands().Menu("mnuDBProps")->trigger();
      QVERIFY(answers.done);
      QCOMPARE(answers.prompts, 2);
      QVERIFY(app.db.PasswordOn);
      app.Storage().SetModified(false);
      app.Parts().Window().Commands().Menu("mnuQuit")->trigger();
      app.UpdateTick();
      QVERIFY(app.Ended());
    }
    qunsetenv("ORBO_MESSAGES");
  }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
