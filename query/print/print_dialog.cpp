#include "query/print/print_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "query/print/pages/page_renderer.h"
#include "query/print/pages/print_job.h"
#include "query/print/pages/print_sets.h"
#include "query/print/print_preview.h"
#include "query/print/print_progress.h"
#include "query/print/print_texts.h"
#include "shell/common_texts.h"
#include "shell/help_pages.h"
#include "shell/named_widget.h"
#include "shell/unencrypted_export.h"
#include "shell/window_context.h"
#include "storage/data_path.h"

namespace orbo {
namespace {

double ScreenTwipsPerPixel() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dotsPerInch = screen ? screen->logicalDotsPerInchX() : 0;
  return dotsPerInch > 0 ? 1440.0 / dotsPerInch : kStandardTwipsPerPixel;
}

}  // namespace

PrintDialog::PrintDialog(WindowContext& context)
    : QDialog(&context.services.DialogParent()),
      context_(context),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      screenTwipsPerPixel_(ScreenTwipsPerPixel()) {
  setObjectName("PrinterForm2");
  // Drawn from the paper's corner, as in a PDF and in the preview.
  printer_->setFullPage(true);
  const LanguageTexts& texts = context_.texts;
  setWindowTitle(texts.Get(print_texts::kPrintTitle));
  sortWhatLabel_ =
      NamedWidget<QLabel>("Label1", texts.Get(print_texts::kRecordsToPrintLabel), this);
  printCombo_ = NamedWidget<QComboBox>("PrintCombo", this);
  printText_ = NamedWidget<QPlainTextEdit>("PrintText", this);
  printText_->setReadOnly(true);
  reverseCheck_ =
      NamedWidget<QCheckBox>("ReverseCheck", texts.Get(print_texts::kReverseOrder), this);
  auto button = [&](const char* name, TextId text) {
    return NamedWidget<QPushButton>(name, texts.Get(text), this);
  };
  setupButton_ = button("SetupButt", print_texts::kPrinterSetupButton);
  previewButton_ = button("PreviewButt", print_texts::kPreviewButton);
  printButton_ = button("PrintButt", common_texts::kOk);
  cancelButton_ = button("CancelButt", common_texts::kCancel);
  helpButton_ = button("HelpButt", common_texts::kHelp);
  printButton_->setDefault(true);

  auto* options = new QHBoxLayout;
  options->addWidget(reverseCheck_);
  options->addStretch();
  options->addWidget(setupButton_);
  options->addWidget(previewButton_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* b : {printButton_, cancelButton_, helpButton_}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(sortWhatLabel_);
  layout->addWidget(printCombo_);
  layout->addWidget(printText_, 1);
  layout->addLayout(options);
  layout->addLayout(buttons);
  resize(460, 400);

  connect(printCombo_, &QComboBox::activated, this, [this](int set) { ChooseSet(set); });
  connect(reverseCheck_, &QCheckBox::toggled, this, [this] { Reorder(); });
  connect(setupButton_, &QPushButton::clicked, this, [this] { SetUpPrinter(); });
  connect(previewButton_, &QPushButton::clicked, this, [this] { ShowPreview(); });
  connect(printButton_, &QPushButton::clicked, this, [this] { Print(); });
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(helpButton_, &QPushButton::clicked, this,
          [this] { context_.services.ShowHelp(help_topics::kPrint); });
}

PrintDialog::~PrintDialog() = default;

PrintPreview& PrintDialog::Preview() {
  if (!preview_) {
    preview_ = std::make_unique<PrintPreview>(
        PrintPreview::Context{context_, *printer_, order_, position_, stepKey_},
        screenTwipsPerPixel_, this);
  }
  return *preview_;
}

void PrintDialog::Open() {
  // Whatever the previews of this session move is one step.
  stepKey_ = QStringLiteral("print position %1").arg(++sessions_);
  Activate();
  context_.dialogs.RunModal(*this);
}

void PrintDialog::Activate() {
  if (std::exchange(keepListOnce_, false)) return;
  const int shown = context_.state.CurRecord;
  printCombo_->clear();
  QStringList captions;
  for (int set = 0; set < kPrintSetCount; ++set)
    captions << context_.texts.Get(print_texts::kPrintSetNames.Plus(set));
  printCombo_->addItems(PrintSetNames(context_.db, shown, context_.state.CurFolder, captions));
  ChooseSet(IsPrintableRecord(context_.db, shown) ? kShownRecordSet : kFolderSet);
}

void PrintDialog::ChooseSet(int set) {
  const int shown = context_.state.CurRecord;
  if (SetNeedsShownRecord(set) && !IsPrintableRecord(context_.db, shown)) {
    context_.services.ShowMessage(context_.texts.Get(print_texts::kNoRecordShownFolderChosen),
                                  kExclamation);
    set = kFolderSet;
  }
  printCombo_->setCurrentIndex(set);
  list_ = PrintList(context_.db, set, shown, context_.state.CurFolder);
  position_ = 0;
  Reorder();
}

void PrintDialog::Reorder() {
  order_ = PrintOrder(list_, reverseCheck_->isChecked());
  QString text =
      PrintListText(context_.db, order_, context_.texts.Get(print_texts::kPrintListHeading));
  printText_->setPlainText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void PrintDialog::ShowPreview() {
  if (order_.empty()) {
    context_.services.ShowMessage(context_.texts.Get(print_texts::kNothingToPrint), kExclamation);
    return;
  }
  keepListOnce_ = true;
  Preview().Open();
  Activate();
}

void PrintDialog::SetUpPrinter() { context_.dialogs.PrinterSetup(this, *printer_); }

bool PrintDialog::ChooseTarget(QString& pdfPath) {
  pdfPath =
      printer_->outputFormat() == QPrinter::PdfFormat ? printer_->outputFileName() : QString();
  // A printer is chosen, or the set-up named a PDF file.
  if (!pdfPath.isEmpty() ||
      (printer_->outputFormat() == QPrinter::NativeFormat && !printer_->printerName().isEmpty())) {
    return true;
  }
  // No printer: the pages go to a PDF file the user names.
  pdfPath = context_.dialogs.SaveFileName(this, context_.texts.Get(print_texts::kPrintToPdfTitle),
                                          context_.texts.Get(print_texts::kPdfFilter),
                                          FileDialogStart(context_.db.DatabasePath, lastPdf_));
  if (pdfPath.isEmpty()) return false;
  if (QFileInfo(pdfPath).suffix().isEmpty()) pdfPath += QStringLiteral(".pdf");
  return true;
}

void PrintDialog::Retitle(int page) {
  const LanguageTexts& texts = context_.texts;
  setWindowTitle(page == 0 ? texts.Get(print_texts::kPrintTitle)
                           : QStringLiteral("%1  %2: %3")
                                 .arg(texts.Get(print_texts::kPrintTitle),
                                      texts.Get(print_texts::kPage), QString::number(page)));
}

JobEnd PrintDialog::RunJob(const QString& pdfPath, QString& error) {
  // The list as it was when Print was pressed: events run between pages.
  const std::vector<int> order = order_;
  const PageRenderer renderer(context_.db, screenTwipsPerPixel_);
  PrintProgress progress(context_.texts, static_cast<int>(order.size()), this);
  const PageDone pageDone = [&](int page) {
    Retitle(page);
    if (progress.PageDone(page)) return true;
    // Before the painter ends the job, or the pages drawn so far would print.
    if (pdfPath.isEmpty()) printer_->abort();
    return false;
  };
  return pdfPath.isEmpty() ? PrintPages(*printer_, renderer, order, pageDone)
                           : WritePdf(pdfPath, FullPageLayout(printer_->pageLayout()), renderer,
                                      order, error, pageDone);
}

void PrintDialog::Print() {
  if (order_.empty()) {
    context_.services.ShowMessage(context_.texts.Get(print_texts::kNothingToPrint), kExclamation);
    return;
  }
  QString pdfPath;
  if (!ChooseTarget(pdfPath)) return;
  if (IsDatabaseFile(pdfPath, context_.db.DatabasePath)) {
    context_.services.ShowMessage(context_.texts.Get(print_texts::kPagesOverDatabase),
                                  kExclamation);
    return;
  }
  if (!pdfPath.isEmpty() && !MayExportUnencrypted(context_, print_texts::kPdfUnencrypted)) return;
  QString error;
  const JobEnd end = RunJob(pdfPath, error);
  Retitle(0);
  if (end == JobEnd::kStopped) return;
  if (end == JobEnd::kFailed) {
    context_.services.ShowMessage(pdfPath.isEmpty()
                                      ? context_.texts.Get(print_texts::kPrinterRefusedPages)
                                      : context_.texts.Get(print_texts::kPdfNotWritten).arg(error),
                                  kExclamation);
    return;
  }
  if (!pdfPath.isEmpty()) lastPdf_ = pdfPath;
  accept();
}

}  // namespace orbo
