// The print dialog and the preview with their real widgets, offscreen:
// the sets offered, the order, the preview's one-shot flag, dragging the
// print offsets, printing to a PDF file when there is no printer, the
// places of what is printed, input while a job runs, and stopping a job.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>

#include "../test_files.h"
#include "../test_install.h"
#include "app/main_window.h"
#include "pdf_text.h"
#include "query/print/pages/page_renderer.h"
#include "query/print/pages/print_job.h"
#include "query/print/pages/print_sets.h"
#include "query/print/print_dialog.h"
#include "query/print/print_preview.h"
#include "sample_databases.h"
#include "shell/navigator.h"

using namespace orbo;

namespace {

// Folder 0 holds records 0, 3 and 5; records 1 and 4 are free slots.
struct Fixture : RunningApp {
  QTemporaryDir dir;  // where the PDF files go

  Fixture() {
    app.db = test::FreeSlotDatabase();
    app.Parts().Navigation().RefreshTree();
    app.Parts().Navigation().ShowFolder(0);
  }

  // mnuPrint, with what happens in each window while it is open.
  void Print(std::function<void(PrintDialog&)> inDialog,
             std::function<void(PrintPreview&)> inPreview = {}) {
    dialogs.onModal = [=](QDialog& dialog) {
      if (auto* preview = dynamic_cast<PrintPreview*>(&dialog); preview && inPreview)
        inPreview(*preview);
      if (auto* print = dynamic_cast<PrintDialog*>(&dialog)) inDialog(*print);
      return 0;
    };
    Trigger("mnuPrint");
  }
};

// The dialog set to print into the PDF file the user names.
void ToPdf(PrintDialog& dialog) {
  dialog.Printer().setOutputFormat(QPrinter::PdfFormat);
  dialog.Printer().setOutputFileName(QString());
}

// Print pressed, the pages going into the PDF file the user names.
void PrintToPdf(PrintDialog& dialog) {
  ToPdf(dialog);
  Child<QPushButton>(dialog, "PrintButt").click();
}

// What was seen of a job.
struct Job {
  std::vector<int> order;  // the list when Print was pressed
  bool hidden = false;     // whether the dialog was seen hidden meanwhile
};

// Print pressed on the dialog on screen, printing set into a PDF file;
// during runs once after the first page, as a timer would.
Job PressPrint(PrintDialog& dialog, int set, const std::function<void()>& during) {
  ToPdf(dialog);
  emit Child<QComboBox>(dialog, "PrintCombo").activated(set);
  dialog.show();
  if (!QTest::qWaitForWindowExposed(&dialog)) qFatal("the print dialog is not shown");
  Job job;
  job.order = dialog.Order();
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout,
                   [&] { job.hidden = job.hidden || !dialog.isVisible(); });
  watch.start(0);
  QTimer::singleShot(0, during);
  QTest::mouseClick(&Child<QPushButton>(dialog, "PrintButt"), Qt::LeftButton);
  return job;
}

// The text of the pages of order, as orbo-cli prints them.
QStringList PagesOf(const Database& db, const std::vector<int>& order) {
  QTemporaryDir dir;
  QString error;
  if (WritePdf(dir.filePath("expected.pdf"), DefaultPdfLayout(), PageRenderer(db), order, error) !=
      JobEnd::kDone)
    return {};
  return PdfPages(dir.filePath("expected.pdf"));
}

}  // namespace

class PrintDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // With no record shown the folder's records are offered; the shown
  // record's sets fall back to them with a message. Nothing to print: a
  // message, no preview, no file. Reverse order prints the list backwards,
  // and the preview keeps the list and the choice.
  void setsWithoutAShownRecord() {
    Fixture f;
    f.Print([&](PrintDialog& dialog) {
      QComboBox& sets = Child<QComboBox>(dialog, "PrintCombo");
      QCOMPARE(sets.currentIndex(), 2);
      QCOMPARE(dialog.Order(), (std::vector<int>{0, 3, 5}));
      emit sets.activated(4);
      QCOMPARE(sets.currentIndex(), 2);
      emit sets.activated(3);
      QVERIFY(dialog.Order().empty());
      Child<QPushButton>(dialog, "PreviewButt").click();
      Child<QPushButton>(dialog, "PrintButt").click();
      QCOMPARE(f.dialogs.modalCount, 1);
      emit sets.activated(2);
      Child<QCheckBox>(dialog, "ReverseCheck").click();
      Child<QPushButton>(dialog, "PreviewButt").click();
      QCOMPARE(sets.currentIndex(), 2);
      QCOMPARE(dialog.Order(), (std::vector<int>{5, 3, 0}));
    });
    const QString nothing = f.app.texts.Get(760, 0);
    QCOMPARE(f.dialogs.messages, (QStringList{f.app.texts.Get(750, 0), nothing, nothing}));
    QCOMPARE(f.dialogs.modalCount, 2);
  }

  // At full size a drag moves the offsets by its length in screen twips. The
  // first change marks the database modified; all of one session are one
  // undo step.
  void draggingThePrintOffsets() {
    Fixture f;
    f.app.Parts().Navigation().ShowRecord(0);
    FormDef& form = f.app.db.Forms[0];
    const StepStack& stack = f.app.Funnel().Stack();
    const int steps = stack.Count();
    f.Print([&](PrintDialog& dialog) { Child<QPushButton>(dialog, "PreviewButt").click(); },
            [&](PrintPreview& preview) {
              for (int i = 0; i < 3; ++i) Child<QPushButton>(preview, "ScalePlus").click();
              QCOMPARE(preview.Zoom(), 0);
              QLabel& page = Child<QLabel>(preview, "Image1");
              const double twipsPerPixel = 1440.0 / preview.PrintPic().logicalDpiX();
              QVERIFY(!f.app.db.Modified);
              Drag(&page, {100, 100}, {140, 80});
              QVERIFY(qAbs(form.PrintOffsetX - (200 + 40 * twipsPerPixel)) <= 1);
              QVERIFY(qAbs(form.PrintOffsetY - (200 - 20 * twipsPerPixel)) <= 1);
              QVERIFY(f.app.db.Modified);
              Drag(&page, {100, 100}, {90, 100});
            });
    QCOMPARE(stack.Count(), steps + 1);
  }

  // Without a printer the pages go to a PDF file named by the user, never
  // over the database's own file.
  void printsToPdf() {
    if (!HavePdfToText()) QSKIP("pdftotext is not installed");
    Fixture f;
    // Never over the database's own file.
    f.app.db.DatabasePath = f.dir.filePath("own.2db");
    QVERIFY(WriteBytes(f.app.db.DatabasePath, "keep me"));
    f.dialogs.savePath = f.app.db.DatabasePath;
    f.Print(PrintToPdf);
    QCOMPARE(f.dialogs.messages, QStringList{f.app.texts.Get(970, 4)});
    QCOMPARE(ReadBytes(f.app.db.DatabasePath), QByteArray("keep me"));
    f.dialogs.messages.clear();
    f.dialogs.savePath = f.dir.filePath("pages");
    f.Print(PrintToPdf);
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(PdfPages(f.dir.filePath("pages.pdf")).size(), 3);
  }

  // Clicks and keys while pages print reach neither the dialog nor the
  // window: a second Print, Reverse, another set, Cancel and Escape change
  // nothing. The list changed by the program then (here from a timer) leaves
  // the pages the list as it was when Print was pressed.
  void inputWhilePrinting() {
    if (!HavePdfToText()) QSKIP("pdftotext is not installed");
    Fixture f;
    f.dialogs.savePath = f.dir.filePath("pages.pdf");
    Job job;
    bool unchanged = false;
    f.Print([&](PrintDialog& dialog) {
      job = PressPrint(dialog, kAllRecordsSet, [&] {
        QCheckBox& reverse = Child<QCheckBox>(dialog, "ReverseCheck");
        QComboBox& sets = Child<QComboBox>(dialog, "PrintCombo");
        QTest::mouseClick(&Child<QPushButton>(dialog, "PrintButt"), Qt::LeftButton);
        QTest::mouseClick(&reverse, Qt::LeftButton);
        QTest::keyClick(&sets, Qt::Key_Down);
        QTest::mouseClick(&Child<QPushButton>(dialog, "CancelButt"), Qt::LeftButton);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QTest::keyClick(&f.app.Parts().Window(), Qt::Key_F6);
        unchanged = !reverse.isChecked() && sets.currentIndex() == kAllRecordsSet;
        reverse.setChecked(true);
        emit sets.activated(kFolderSet);
      });
      QVERIFY(!dialog.isVisible());
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
    });
    QVERIFY(unchanged);
    QVERIFY(!job.hidden);
    QVERIFY(f.app.state.EditMode == WorkMode::Database);
    QCOMPARE(PdfPages(f.dialogs.savePath), PagesOf(f.app.db, job.order));
  }

  // Cancel on the progress stops the job after the page being printed; the
  // dialog stays open and prints again.
  void cancelStopsTheJob() {
    if (!HavePdfToText()) QSKIP("pdftotext is not installed");
    Fixture f;
    f.dialogs.savePath = f.dir.filePath("pages.pdf");
    QPointer<QProgressDialog> progress;
    Job job;
    f.Print([&](PrintDialog& dialog) {
      job = PressPrint(dialog, kAllRecordsSet, [&] {
        progress = dialog.findChild<QProgressDialog*>("PrintProgress");
        if (!progress) return;
        // As it shows once the job has run for a while.
        progress->show();
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
      });
      QVERIFY(dialog.isVisible());
      QVERIFY(!QFile::exists(f.dialogs.savePath));
      QTest::mouseClick(&Child<QPushButton>(dialog, "PrintButt"), Qt::LeftButton);
      QVERIFY(!dialog.isVisible());
    });
    QVERIFY(progress.isNull());
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(PdfPages(f.dialogs.savePath), PagesOf(f.app.db, job.order));
  }

  // The dialog's PDF puts every word where orbo-cli's does, without the
  // printer's margins.
  void pdfPlacedAsOrboCli() {
    if (!HavePdfToText()) QSKIP("pdftotext is not installed");
    Fixture f;
    f.app.Parts().Navigation().ShowRecord(0);
    f.dialogs.savePath = f.dir.filePath("dialog.pdf");
    f.Print([&](PrintDialog& dialog) {
      dialog.Printer().setPageSize(QPageSize(QPageSize::A4));
      PrintToPdf(dialog);
    });
    const QString cli = f.dir.filePath("cli.pdf");
    QString error;
    QCOMPARE(WritePdf(cli, DefaultPdfLayout(), PageRenderer(f.app.db), {0}, error), JobEnd::kDone);
    const QStringList words = PdfWordPlaces(f.dialogs.savePath);
    QVERIFY(!words.isEmpty());
    QCOMPARE(words, PdfWordPlaces(cli));
  }
};

QTEST_MAIN(PrintDialogTest)
#include "tst_print_dialog.moc"
