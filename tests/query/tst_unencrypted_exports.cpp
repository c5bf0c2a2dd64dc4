// Exports of an encrypted database through the window: CSV files, an MS
// Access file and a PDF file are not encrypted, so one question comes
// before anything is written; No writes nothing, Yes writes. A database
// whose password only scrambles the file exports without the question.
#include <QComboBox>
#include <QPrinter>
#include <QPushButton>
#include <QtTest>

#include "../test_files.h"
#include "../test_install.h"
#include "query/print/pages/print_sets.h"
#include "query/print/print_dialog.h"
#include "sample_databases.h"

using namespace orbo;

namespace {

// Every export dialog takes every folder; the print dialog prints every
// record into the PDF file the user names.
int RunExportDialog(QDialog& dialog) {
  if (auto* print = dynamic_cast<PrintDialog*>(&dialog)) {
    print->Printer().setOutputFormat(QPrinter::PdfFormat);
    print->Printer().setOutputFileName(QString());
    emit Child<QComboBox>(*print, "PrintCombo").activated(kAllRecordsSet);
    Child<QPushButton>(*print, "PrintButt").click();
    return QDialog::Rejected;
  }
  Child<QComboBox>(dialog, "FolderCombo").setCurrentIndex(0);
  return QDialog::Accepted;
}

}  // namespace

class UnencryptedExportsTest : public QObject {
  Q_OBJECT

 private slots:
  void askedOnceBeforeWriting_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("question");  // its entry of group 987
    QTest::addColumn<bool>("encrypted");
    QTest::addColumn<int>("answer");
    const std::pair<QString, int> exports[] = {
        {"mnuExCsv", 0}, {"mnuExAccess", 1}, {"mnuPrint", 2}};
    for (const auto& [command, question] : exports) {
      QTest::addRow("%s, encrypted, No", qPrintable(command))
          << command << question << true << int(kAnswerNo);
      QTest::addRow("%s, encrypted, Yes", qPrintable(command))
          << command << question << true << int(kAnswerYes);
      QTest::addRow("%s, scrambled", qPrintable(command))
          << command << question << false << int(kAnswerYes);
    }
  }
  // FullFormDatabase has records of two forms: the CSV export writes two
  // files and still asks once.
  void askedOnceBeforeWriting() {
    QFETCH(QString, command);
    QFETCH(int, question);
    QFETCH(bool, encrypted);
    QFETCH(int, answer);
    RunningApp r;
    Database& db = r.app.db;
    db = test::Locked(test::FullFormDatabase(), "pw12");
    db.Encrypted = encrypted;
    r.app.Storage().ShowDatabase();
    QTemporaryDir out;
    r.dialogs.folderPath = out.path();
    r.dialogs.savePath = out.filePath("export");
    r.dialogs.onModal = RunExportDialog;
    r.dialogs.answers = {MessageAnswer(answer)};
    r.dialogs.messages.clear();
    r.Trigger(qPrintable(command));
    const QString asked = r.app.texts.Get(987, question);
    QCOMPARE(r.dialogs.messages.count(asked), encrypted ? 1 : 0);
    if (answer == kAnswerNo) {
      QCOMPARE(r.dialogs.messages, QStringList{asked});
      QCOMPARE(FilesIn(out.path()), QStringList());
    } else {
      QCOMPARE(FilesIn(out.path()).size(), command == "mnuExCsv" ? 2 : 1);
    }
    QVERIFY(!db.Modified);
  }
};

QTEST_MAIN(UnencryptedExportsTest)
#include "tst_unencrypted_exports.moc"
