// The text input dialog, the icon picker and opening a protected database
// through the window.
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "forms/icon_picker_dialog.h"
#include "forms/icon_picker_layout.h"
#include "shell/app.h"
#include "shell/input_dialog.h"
#include "shell/main_window.h"
#include "storage/database_commands.h"
#include "test_install.h"

using namespace orbo;

namespace {

LanguageTexts English() {
  LanguageTexts texts;
  texts.Load(QStringLiteral(ORBO_SOURCE_DIR "/resources/Texts/english.txt"));
  return texts;
}

QImage Filled(QRgb colour) {
  QImage image(16, 16, QImage::Format_ARGB32);
  image.fill(colour);
  return image;
}

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void inputDialogAnswers() {
    InputDialog dialog(nullptr);
    auto* text = dialog.findChild<QLineEdit*>("Text1");
    auto* browse = dialog.findChild<QPushButton*>("BrowseButt");

    dialog.Prepare(English(), "Name?", "old", false, "*", {});
    dialog.show();
    QVERIFY(browse->isHidden());  // a one-character filter offers no browsing
    text->setText("new");
    dialog.findChild<QPushButton*>("CancelButt")->click();
    QCOMPARE(dialog.Result(), QString("old"));
    QVERIFY(dialog.isHidden());

    dialog.Prepare(English(), "Name?", "old", false, QString(), {});
    dialog.show();
    text->setText("typed");
    QTest::keyClick(text, Qt::Key_Return);
    QCOMPARE(dialog.Result(), QString("typed"));
    QVERIFY(dialog.isHidden());

    dialog.Prepare(English(), "Name?", "start", false, QString(), {});
    dialog.show();
    text->setText("ignored");
    dialog.close();
    QCOMPARE(dialog.Result(), QString("start"));
    QVERIFY(dialog.isHidden());

    dialog.Prepare(English(), "Password?", QString(), true, "Files|*.*",
                   [](const QString& filter) { return "/picked/" + filter; });
    QCOMPARE(text->echoMode(), QLineEdit::Password);
    QVERIFY(!browse->isHidden());
    browse->click();
    QCOMPARE(text->text(), QString("/picked/Files|*.*"));
  }

  void askTextMarksModifiedOnlyForAChange() {
    RunningApp running;
    App& app = running.app;
    FakeDialogs& dialogs = running.dialogs;
    dialogs.typedText = "same";
    QCOMPARE(app.AskText("?", "same", false), QString("same"));
    QVERIFY(!app.db.Modified);
    dialogs.typedText = "other";
    QCOMPARE(app.AskText("?", "same", true), QString("other"));
    QVERIFY(!app.db.Modified);
    QCOMPARE(app.AskText("?", "same", false), QString("other"));
    QVERIFY(app.db.Modified);
  }

  void pickerSelectsAndScrolls() {
    ImageList icons;
    for (int i = 0; i < 100; ++i) icons.Add(QString::number(i), Filled(qRgb(i, 0, 0)));
    IconPickerDialog picker(icons, nullptr);
    picker.Prepare(English(), "42");
    QCOMPARE(picker.Selected(), 43);
    auto* scroll = picker.findChild<QScrollBar*>("VScroll1");
    QVERIFY(scroll->isEnabled());
    scroll->setValue(2);
    QWidget* area = picker.findChild<QWidget*>("Picture1");
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(2 * kPickerCell + 3, kPickerCell + 3));
    QCOMPARE(picker.Selected(), (2 + 1) * kPickerColumns + 2 + 1);
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(kPickerCell * 4 + 1, 3 * kPickerCell + 1));
    QCOMPARE(picker.Selected(), 100);
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(kPickerCell * 5 + 1, 3 * kPickerCell + 1));
    QCOMPARE(picker.Selected(), 100);  // no icon there
    picker.findChild<QPushButton*>("CancelButt")->click();
    QCOMPARE(picker.Result(), QString("42"));
    picker.Prepare(English(), "missing");
    QCOMPARE(picker.Selected(), 0);
    QTest::mouseDClick(area, Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(picker.Result(), QString("0"));
  }

  void chooseIconAndImport() {
    RunningApp running;
    App& app = running.app;
    FakeDialogs& dialogs = running.dialogs;
    const TestInstall& install = running.install;
    QDir(install.Path()).mkpath("icons/usericons/Pets");
    QVERIFY(Filled(qRgb(9, 9, 9)).save(install.Path("icons/usericons/Pets/cat.bmp")));
    QVERIFY(Filled(qRgb(200, 0, 0)).save(install.Path("icons/noico.bmp")));
    QImage big(32, 32, QImage::Format_ARGB32);
    big.fill(qRgb(0, 0, 250));
    QVERIFY(big.save(install.Path("holiday.png")));
    dialogs.openPath = install.Path("holiday.png");
    int round = 0;
    int selectedAtStart = 0;
    dialogs.onModal = [&](QDialog& dialog) -> int {
      auto* picker = static_cast<IconPickerDialog*>(&dialog);
      if (++round > 1) return QDialog::Rejected;
      selectedAtStart = picker->Selected();
      picker->findChild<QPushButton*>("AddIconButt")->click();
      picker->Select(app.Window().Icons().IndexOf("New\\holiday.bmp") + 1);
      picker->findChild<QPushButton*>("OkButt")->click();
      return picker->result();
    };
    app.SetModified(false);
    QCOMPARE(app.ChooseIcon("Pets\\cat.bmp"), QString("New\\holiday.bmp"));
    QCOMPARE(selectedAtStart, app.Window().Icons().IndexOf("Pets\\cat.bmp") + 1);
    QVERIFY(app.db.Modified);
    QCOMPARE(QImage(install.Path("icons/usericons/New/holiday.bmp")).pixel(4, 4), qRgb(0, 0, 250));
    app.SetModified(false);
    QCOMPARE(app.ChooseIcon("record"), QString("record"));  // the second round cancels
    QVERIFY(!app.db.Modified);
  }

  void loadingBringsCompanionIcons() {
    RunningApp running;
    App& app = running.app;
    FakeDialogs& dialogs = running.dialogs;
    const TestInstall& install = running.install;
    app.db.Forms[0].Icon = "New\\pet.bmp";
    app.db.Folders[0].Icon = "nowhere\\gone.bmp";
    dialogs.savePath = install.Path("pets.2db");
    QVERIFY(SaveDatabaseAs(app.db, app));
    QDir(install.Path()).mkpath("pets.2dbfiles/Icons");
    QDir(install.Path()).mkpath("icons");
    QVERIFY(Filled(qRgb(0, 128, 0)).save(install.Path("pets.2dbfiles/Icons/pet.bmp")));
    QVERIFY(Filled(qRgb(255, 0, 255)).save(install.Path("icons/noico.bmp")));
    NewDatabaseCmd(app.db, app);

    LoadDatabase(app.db, install.Path("pets.2db"), app);
    QCOMPARE(app.db.DatabasePath, install.Path("pets.2db"));
    QVERIFY(QFile::exists(install.Path("icons/usericons/New/pet.bmp")));
    QCOMPARE(app.Window().Icons().Image("New\\pet.bmp").pixel(2, 2), qRgb(0, 128, 0));
    QCOMPARE(app.Window().Icons().Image("nowhere\\gone.bmp").pixel(2, 2), qRgb(255, 0, 255));
  }

  // The password is asked through the text input dialog; a wrong or no
  // answer is the storage commands' business.
  void protectedDatabaseThroughTheWindow() {
    RunningApp running;
    App& app = running.app;
    FakeDialogs& dialogs = running.dialogs;
    const TestInstall& install = running.install;
    app.db.PasswordOn = true;
    app.db.Password = "s3cret";
    app.db.Records[0].TextValue[0] = "Locked away";
    dialogs.savePath = install.Path("locked.2db");
    QVERIFY(SaveDatabaseAs(app.db, app));
    NewDatabaseCmd(app.db, app);
    QCOMPARE(app.db.DatabasePath, QString("noname"));

    dialogs.openPath = install.Path("locked.2db");
    dialogs.typedText = "s3cret";
    app.Window().Commands().Tool(kMainBar, "open")->trigger();
    QCOMPARE(dialogs.prompts, QStringList{app.texts.Get(680, 0)});
    QCOMPARE(app.db.DatabasePath, install.Path("locked.2db"));
    QCOMPARE(app.db.Records[0].TextValue[0], QString("Locked away"));
    QVERIFY(dialogs.messages.isEmpty());
  }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
