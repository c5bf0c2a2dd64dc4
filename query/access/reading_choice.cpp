#include "query/access/reading_choice.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>
#include <iterator>

#include "query/access/access_texts.h"
#include "shell/language_texts.h"
#include "shell/named_widget.h"

namespace orbo {
namespace {

// The delimiters the list names; past them, "Other" and the typed one.
constexpr char16_t kListed[] = {u',', u';', u'\t'};
constexpr int kOther = 3;

}  // namespace

ReadingChoice::ReadingChoice(const LanguageTexts& texts, QWidget* parent) : QWidget(parent) {
  encodingCombo_ = NamedWidget<QComboBox>("EncodingCombo", this);
  delimiterCombo_ = NamedWidget<QComboBox>("DelimiterCombo", this);
  delimiterEdit_ = NamedWidget<QLineEdit>("DelimiterEdit", this);
  delimiterCombo_->addItems({texts.Get(access_texts::kComma), texts.Get(access_texts::kSemicolon),
                             texts.Get(access_texts::kTab),
                             texts.Get(access_texts::kOtherDelimiter)});
  delimiterEdit_->setMaxLength(1);
  delimiterEdit_->setMaximumWidth(delimiterEdit_->fontMetrics().horizontalAdvance(u'W') * 3);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(
      NamedWidget<QLabel>("EncodingLabel", texts.Get(access_texts::kEncodingLabel), this));
  row->addWidget(encodingCombo_);
  row->addSpacing(12);
  row->addWidget(
      NamedWidget<QLabel>("DelimiterLabel", texts.Get(access_texts::kDelimiterLabel), this));
  row->addWidget(delimiterCombo_);
  row->addWidget(delimiterEdit_);
  row->addStretch(1);
  connect(encodingCombo_, &QComboBox::activated, this, &ReadingChoice::changed);
  connect(delimiterCombo_, &QComboBox::activated, this, [this](int index) {
    delimiterEdit_->setEnabled(index == kOther);
    if (index == kOther) {
      delimiterEdit_->setFocus();
      if (delimiterEdit_->text().isEmpty()) return;  // nothing to read with yet
    }
    emit changed();
  });
  connect(delimiterEdit_, &QLineEdit::textEdited, this, [this] {
    if (!delimiterEdit_->text().isEmpty()) emit changed();
  });
}

void ReadingChoice::Show(const TextReading& reading, const QStringList& encodings) {
  const QSignalBlocker quietEncoding(encodingCombo_);
  const QSignalBlocker quietDelimiter(delimiterCombo_);
  encodingCombo_->clear();
  encodingCombo_->addItems(encodings);
  encodingCombo_->setCurrentIndex(static_cast<int>(encodings.indexOf(reading.encoding)));
  const auto* listed =
      std::find(std::begin(kListed), std::end(kListed), reading.delimiter.unicode());
  const int index = static_cast<int>(listed - std::begin(kListed));
  delimiterCombo_->setCurrentIndex(index);
  delimiterEdit_->setEnabled(index == kOther);
  delimiterEdit_->setText(index == kOther ? QString(reading.delimiter) : QString());
}

TextReading ReadingChoice::Chosen() const {
  const int index = delimiterCombo_->currentIndex();
  return {encodingCombo_->currentText(), index != kOther ? QChar(kListed[index])
                                         : delimiterEdit_->text().isEmpty()
                                             ? QChar()
                                             : delimiterEdit_->text().front()};
}

}  // namespace orbo
