// The encoding and delimiter a text file is read with, as found and as the
// user changes them: comma, semicolon, tab or one typed character.
#pragma once

#include <QWidget>

#include "query/access/tables/access_engine.h"

class QComboBox;
class QLineEdit;

namespace orbo {

class LanguageTexts;

class ReadingChoice : public QWidget {
  Q_OBJECT

 public:
  ReadingChoice(const LanguageTexts& texts, QWidget* parent);

  // The reading a file was read with, among the encodings it offers.
  void Show(const TextReading& reading, const QStringList& encodings);
  TextReading Chosen() const;

 signals:
  void changed();

 private:
  QComboBox* encodingCombo_;
  QComboBox* delimiterCombo_;
  QLineEdit* delimiterEdit_;
};

}  // namespace orbo
