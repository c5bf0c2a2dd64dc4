// The database properties with the real window offscreen: the password
// rules and messages, undo steps and Cancel.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "../test_files.h"
#include "../test_install.h"
#include "app/main_window.h"
#include "storage/database_file.h"

using namespace orbo;

namespace {

// Runs the dialog: each step presses CodeCheck1 ("check"), CodeButt1
// ("change") or CodeCheck2 ("encrypt"); then OK or Cancel is pressed.
void DatabaseProperties(RunningApp& r, const QStringList& steps, bool ok = true) {
  r.RunDialog(
      r.app.Parts().Window().Commands().Menu("mnuDBProps"),
      [&](QDialog& d) {
        for (const QString& step : steps) {
          if (step == "check") Child<QCheckBox>(d, "CodeCheck1").click();
          if (step == "change") Child<QPushButton>(d, "CodeButt1").click();
          if (step == "encrypt") Child<QCheckBox>(d, "CodeCheck2").click();
          const auto& encrypt = Child<QCheckBox>(d, "CodeCheck2");
          if (Child<QCheckBox>(d, "CodeCheck1").isChecked() != r.app.db.PasswordOn ||
              encrypt.isChecked() != r.app.db.Encrypted ||
              encrypt.isEnabled() != r.app.db.PasswordOn)
            qFatal("a box left the model");
        }
      },
      ok);
}

}  // namespace

class DatabasePropertiesTest : public QObject {
  Q_OBJECT

 private slots:
  void newPasswords_data() {
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("protectedAfter");
    QTest::addColumn<int>("message");  // language group, entry
    QTest::addColumn<int>("entry");
    const QString cyrillic = QString::fromUtf8("\u043f\u0430\u0440\u043e\u043b\u044c");
    const QString withNul = QString("ab") + QChar(0) + "cd";
    QTest::newRow("exactly 4") << QStringList{"abcd", "abcd"} << true << true << 0 << 0;
    QTest::newRow("3 characters") << QStringList{"abc", "abc"} << true << false << 735 << 0;
    QTest::newRow("confirmation differs")
        << QStringList{"abcd", "abcD"} << true << false << 720 << 0;
    QTest::newRow("not in the code page")
        << QStringList{cyrillic, cyrillic} << true << false << 968 << 0;
    QTest::newRow("NUL") << QStringList{withNul, withNul} << true << false << 968 << 1;
    QTest::newRow("no answer") << QStringList{""} << true << false << 0 << 0;
    // Cancel restores the protection the dialog opened with.
    QTest::newRow("Cancel") << QStringList{"abcd", "abcd"} << false << false << 0 << 0;
  }
  void newPasswords() {
    QFETCH(QStringList, typed);
    QFETCH(bool, ok);
    QFETCH(bool, protectedAfter);
    QFETCH(int, message);
    QFETCH(int, entry);
    RunningApp r;
    r.dialogs.typedTexts = typed;
    DatabaseProperties(r, {"check"}, ok);
    QCOMPARE(r.app.db.PasswordOn, protectedAfter);
    QCOMPARE(r.app.db.Password, protectedAfter ? typed[0] : QString());
    QVERIFY(!r.dialogs.passwordMode.contains(false));
    const QStringList expected =
        message == 0 ? QStringList()
                     : QStringList{r.app.texts.Get(message, entry).arg("windows-1252")};
    QCOMPARE(r.dialogs.messages, expected);
    // An OK that leaves the protection as it was is no step.
    QCOMPARE(r.app.db.Modified, protectedAfter);
    QCOMPARE(r.app.Funnel().Stack().Count(), protectedAfter ? 1 : 0);
  }

  // Only a protected database is encrypted; switching the password off
  // switches encryption off with it. Each OK that changes the protection is
  // one step, however many presses led there.
  void encryptionNeedsTheProtection() {
    RunningApp r;
    const StepStack& stack = r.app.Funnel().Stack();
    DatabaseProperties(r, {"encrypt"});
    QVERIFY(!r.app.db.Encrypted);
    QCOMPARE(stack.Count(), 0);
    r.dialogs.typedTexts = {"abcd", "abcd"};
    DatabaseProperties(r, {"check", "encrypt"});
    QVERIFY(r.app.db.PasswordOn && r.app.db.Encrypted);
    DatabaseProperties(r, {"encrypt"});
    QVERIFY(!r.app.db.Encrypted);
    QCOMPARE(stack.Count(), 2);
    r.app.Parts().Window().Commands().Menu("mnuUndo")->trigger();
    QVERIFY(r.app.db.Encrypted);
    DatabaseProperties(r, {"encrypt", "encrypt"}, false);
    QVERIFY(r.app.db.Encrypted);
    r.dialogs.typedTexts = {"abcd"};
    DatabaseProperties(r, {"check"});
    QVERIFY(!r.app.db.PasswordOn && !r.app.db.Encrypted);
  }

  // A save that encrypts ends its progress (the key's derivation keeps it
  // alive after the records are written); switching encryption off says
  // that later backups are not encrypted.
  void encryptedSaveAndTheWayBack() {
    RunningApp r;
    r.dialogs.typedTexts = {"abcd", "abcd"};
    DatabaseProperties(r, {"check", "encrypt"});
    r.dialogs.savePath = r.install.Path("sealed.2db");
    r.app.Parts().Window().Commands().Menu("mnuSaveAs")->trigger();
    QVERIFY(IsEncryptedDatabaseFile(r.dialogs.savePath));
    QVERIFY(!r.app.Parts().Window().Busy());
    r.dialogs.messages.clear();
    DatabaseProperties(r, {"encrypt"});
    QCOMPARE(
        r.dialogs.messages,
        QStringList{r.app.texts.Get(986, 24).arg(QDir::toNativeSeparators(r.dialogs.savePath))});
  }

  // The restore dialog lists an encrypted backup as such, deriving no key
  // for it; its password is tried when it is opened.
  void encryptedBackupsAreListedUnopened() {
    RunningApp r;
    r.app.db.PasswordOn = true;
    r.app.db.Password = "abcd";
    r.app.db.Encrypted = true;
    r.dialogs.savePath = r.install.Path("sealed.2db");
    QAction* add = r.app.Parts().Window().Commands().Menu("mnuAddFolder");
    for (const char* save : {"mnuSaveAs", "mnuSave"}) {
      add->trigger();
      r.app.Parts().Window().Commands().Menu(save)->trigger();
    }
    QString row;
    r.dialogs.onModal = [&](QDialog& dialog) {
      row = dialog.findChild<QListWidget*>("BackupList")->item(0)->text();
      return int(QDialog::Accepted);
    };
    const int folders = r.app.db.FolderCount;
    r.app.Parts().Window().Commands().Menu("mnuRestore")->trigger();
    QVERIFY2(row.endsWith(r.app.texts.Get(985, 18)), qPrintable(row));
    QCOMPARE(r.app.db.FolderCount, folders - 1);
  }

  // The code page the texts were read in is shown; reading the file again
  // in another is offered only while nothing is unsaved, and changes the
  // texts the window shows, never the file.
  void readTheFileAgainAs() {
    RunningApp r;
    const QString umlauts = QString::fromUtf8("Wintergarten (S\u00fcd)");
    r.app.db.Folders[0].Name = umlauts;
    r.dialogs.savePath = r.install.Path("garden.2db");
    r.Trigger("mnuSaveAs");
    const QByteArray bytes = ReadBytes(r.dialogs.savePath);
    QString shown;
    bool offered = false;
    auto open = [&](bool readAgain) {
      r.dialogs.onModal = [&, readAgain](QDialog& d) {
        shown = Child<QLabel>(d, "CodePageLabel").text();
        offered = Child<QPushButton>(d, "ReadAgainButt").isEnabled();
        auto& pages = Child<QComboBox>(d, "CodePageCombo");
        pages.setCurrentIndex(pages.findText("windows-1251"));
        if (readAgain && offered) Child<QPushButton>(d, "ReadAgainButt").click();
        return int(d.result());
      };
      r.Trigger("mnuDBProps");
    };
    open(true);
    QCOMPARE(shown, r.app.texts.Get(990, 1).arg("windows-1252"));
    QVERIFY(offered);
    QCOMPARE(r.app.db.CodePageName, QString("windows-1251"));
    QCOMPARE(r.app.db.Folders[0].Name, QString::fromUtf8("Wintergarten (S\u044cd)"));
    QVERIFY(!r.app.db.Modified);
    QCOMPARE(ReadBytes(r.dialogs.savePath), bytes);
    r.Trigger("mnuAddFolder");
    open(true);
    QVERIFY(!offered);
    QCOMPARE(r.app.db.CodePageName, QString("windows-1251"));
    QVERIFY(r.app.db.Modified);
  }

  // Off and change both ask the old password first.
  void oldPasswordFirst() {
    RunningApp r;
    r.app.db.PasswordOn = true;
    r.app.db.Password = "secret";
    r.dialogs.typedTexts = {"Secret", "secret", "better", "better", "better"};
    DatabaseProperties(r, {"check", "change", "check"});
    QCOMPARE(r.dialogs.messages, QStringList{r.app.texts.Get(730, 0)});
    QVERIFY(!r.app.db.PasswordOn);
    QCOMPARE(r.app.db.Password, QString("better"));
  }
};

QTEST_MAIN(DatabasePropertiesTest)
#include "tst_database_properties.moc"
