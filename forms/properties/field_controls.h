// The properties dialog's controls, one kind per kind of entry: each shows
// a field's entry and reads back what the user left in it.
#pragma once

#include <QColor>
#include <functional>
#include <memory>
#include <optional>

#include "forms/properties/properties_logic.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace orbo {

class FieldControl {
 public:
  virtual ~FieldControl() = default;
  virtual void Show(const EntryValue& shown) = 0;
  virtual EntryValue Read() const = 0;
};

std::unique_ptr<FieldControl> LineControl(QLineEdit* edit);
// One item a line.
std::unique_ptr<FieldControl> LinesControl(QPlainTextEdit* edit);
// A value beyond the list shows no entry and is read back as it was.
std::unique_ptr<FieldControl> ChoiceControl(QComboBox* combo);
std::unique_ptr<FieldControl> CheckControl(QCheckBox* check);
// The switch sets the box to what a limit switched on or off shows.
std::unique_ptr<FieldControl> LimitControl(QCheckBox* limited, QLineEdit* limit);
// The button shows the colour and, clicked, offers choose a new one.
using ChooseColour = std::function<std::optional<QColor>(const QColor& current)>;
std::unique_ptr<FieldControl> ColourControl(QPushButton* button, ChooseColour choose);

}  // namespace orbo
