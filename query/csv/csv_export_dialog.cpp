#include "query/csv/csv_export_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>

#include "query/csv/csv_texts.h"
#include "shell/named_widget.h"
#include "shell/window_context.h"

namespace orbo {
namespace {

constexpr char16_t kDelimiters[] = {u',', u';', u'\t'};

}  // namespace

CsvExportDialog::CsvExportDialog(const WindowContext& context, QWidget* parent)
    : ExportDialog(context, parent) {
  setObjectName("ExCsvForm");
  const LanguageTexts& t = context.texts;
  setWindowTitle(t.Get(csv_texts::kExportTitle));
  delimiterCombo_ = NamedWidget<QComboBox>("DelimiterCombo", this);
  for (int i = 0; i < 3; ++i) delimiterCombo_->addItem(t.Get(csv_texts::kDelimiterNames.Plus(i)));
  flagsCombo_ = NamedWidget<QComboBox>("FlagsCombo", this);
  for (int i = 0; i < 2; ++i) flagsCombo_->addItem(t.Get(csv_texts::kFlagNames.Plus(i)));
  byteOrderCheck_ = NamedWidget<QCheckBox>("BomCheck", t.Get(csv_texts::kByteOrderMark), this);
  byteOrderCheck_->setChecked(CsvOptions{}.byteOrderMark);
  formulasCheck_ = NamedWidget<QCheckBox>("FormulasCheck", t.Get(csv_texts::kQuoteFormulas), this);
  formulasCheck_->setChecked(CsvOptions{}.quoteFormulas);
  Choices().addRow(NamedWidget<QLabel>("DelimiterLabel", t.Get(csv_texts::kDelimiterLabel), this),
                   delimiterCombo_);
  Choices().addRow(NamedWidget<QLabel>("FlagsLabel", t.Get(csv_texts::kFlagsLabel), this),
                   flagsCombo_);
  Choices().addRow(byteOrderCheck_);
  Choices().addRow(formulasCheck_);
}

CsvOptions CsvExportDialog::Options() const {
  CsvOptions options;
  options.delimiter = QChar(kDelimiters[delimiterCombo_->currentIndex()]);
  options.flagWords = flagsCombo_->currentIndex() == 1;
  options.byteOrderMark = byteOrderCheck_->isChecked();
  options.quoteFormulas = formulasCheck_->isChecked();
  return options;
}

}  // namespace orbo
