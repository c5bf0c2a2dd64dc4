// File › Export to CSV Files through the window: the dialog's choices reach
// the bytes, and files already there are replaced only when the user says so.
#include <QCheckBox>
#include <QComboBox>
#include <QTemporaryDir>
#include <QtTest>

#include "../shell/test_install.h"
#include "app/app.h"
#include "app/main_window.h"

using namespace orbo;

class CsvWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void exportAsksAndWritesTheFiles() {
    RunningApp r;
    QTemporaryDir out;
    QVERIFY(out.isValid());
    r.dialogs.folderPath = out.path();
    const QString name = r.app.db.Forms[0].Name + ".csv";
    const auto bytes = [&] {
      QFile file(out.filePath(name));
      return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const auto exportWith = [&](int delimiter, QList<MessageAnswer> answers, bool ok = true) {
      r.dialogs.answers = std::move(answers);
      r.dialogs.messages.clear();
      r.RunDialog(
          r.app.Parts().Window().Commands().Menu("mnuExCsv"),
          [delimiter](QDialog& dialog) {
            Child<QComboBox>(dialog, "DelimiterCombo").setCurrentIndex(delimiter);
            Child<QCheckBox>(dialog, "BomCheck").setChecked(false);
          },
          ok);
    };
    exportWith(1, {});
    QCOMPARE(r.dialogs.messages, QStringList{"Written to " + out.path() + ":\n" + name});
    QVERIFY2(bytes().startsWith("Root;"), bytes());
    // The question offers No first; No leaves the file as it was.
    exportWith(0, {kAnswerNo});
    QCOMPARE(r.dialogs.messages,
             QStringList{"The folder already holds files of these names. Replace them?\n" + name});
    QVERIFY(bytes().startsWith("Root;"));
    exportWith(0, {kAnswerYes});
    QCOMPARE(r.dialogs.messages.size(), 2);
    QVERIFY2(bytes().startsWith("Root,"), bytes());
    // Cancel in the dialog asks for no folder.
    const int folderDialogs = r.dialogs.fileDialogs;
    exportWith(2, {}, false);
    QCOMPARE(r.dialogs.fileDialogs, folderDialogs);
    QVERIFY(r.dialogs.messages.isEmpty() && bytes().startsWith("Root,"));
    QVERIFY(!r.app.db.Modified);
  }
};

QTEST_MAIN(CsvWindowTest)
#include "tst_csv_window.moc"
