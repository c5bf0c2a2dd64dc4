#include "forms/properties/field_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "storage/color_value.h"

namespace orbo {
namespace {

EntryValue NumberEntry(int number) {
  EntryValue entry;
  entry.number = number;
  return entry;
}
EntryValue SwitchEntry(bool on) {
  EntryValue entry;
  entry.on = on;
  return entry;
}

class Line final : public FieldControl {
 public:
  explicit Line(QLineEdit* edit) : edit_(edit) {}
  void Show(const EntryValue& shown) override { edit_->setText(shown.text); }
  EntryValue Read() const override { return {.text = edit_->text()}; }

 private:
  QLineEdit* edit_;
};

class Lines final : public FieldControl {
 public:
  explicit Lines(QPlainTextEdit* edit) : edit_(edit) {}
  void Show(const EntryValue& shown) override { edit_->setPlainText(shown.text); }
  EntryValue Read() const override { return {.text = edit_->toPlainText()}; }

 private:
  QPlainTextEdit* edit_;
};

class Choice final : public FieldControl {
 public:
  explicit Choice(QComboBox* combo) : combo_(combo) {}
  void Show(const EntryValue& shown) override {
    shown_ = shown.number;
    combo_->setCurrentIndex(shown_ < combo_->count() ? shown_ : -1);
  }
  EntryValue Read() const override {
    return NumberEntry(combo_->currentIndex() < 0 ? shown_ : combo_->currentIndex());
  }

 private:
  QComboBox* combo_;
  int shown_ = 0;
};

class Check final : public FieldControl {
 public:
  explicit Check(QCheckBox* check) : check_(check) {}
  void Show(const EntryValue& shown) override { check_->setChecked(shown.on); }
  EntryValue Read() const override { return SwitchEntry(check_->isChecked()); }

 private:
  QCheckBox* check_;
};

class Limit final : public FieldControl {
 public:
  Limit(QCheckBox* limited, QLineEdit* limit) : limited_(limited), limit_(limit) {
    QObject::connect(limited_, &QCheckBox::clicked, limit_, [limit](bool on) {
      limit->setText(TextLimitShown(on));
      limit->setEnabled(on);
    });
  }
  void Show(const EntryValue& shown) override {
    limited_->setChecked(shown.on);
    limit_->setText(shown.text);
    limit_->setEnabled(shown.on);
  }
  EntryValue Read() const override { return {.on = limited_->isChecked(), .text = limit_->text()}; }

 private:
  QCheckBox* limited_;
  QLineEdit* limit_;
};

class Colour final : public FieldControl {
 public:
  Colour(QPushButton* button, ChooseColour choose) : button_(button) {
    QObject::connect(button_, &QPushButton::clicked, button_, [this, choose = std::move(choose)] {
      if (std::optional<QColor> chosen = choose(ColorOf(colour_))) ShowColour(StoredColor(*chosen));
    });
  }
  void Show(const EntryValue& shown) override { ShowColour(shown.number); }
  EntryValue Read() const override { return NumberEntry(colour_); }

 private:
  void ShowColour(std::int32_t colour) {
    colour_ = colour;
    button_->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; border: 1px solid palette(dark); }")
            .arg(ColorOf(colour_).name()));
  }

  QPushButton* button_;
  std::int32_t colour_ = 0;
};

}  // namespace

std::unique_ptr<FieldControl> LineControl(QLineEdit* edit) { return std::make_unique<Line>(edit); }
std::unique_ptr<FieldControl> LinesControl(QPlainTextEdit* edit) {
  return std::make_unique<Lines>(edit);
}
std::unique_ptr<FieldControl> ChoiceControl(QComboBox* combo) {
  return std::make_unique<Choice>(combo);
}
std::unique_ptr<FieldControl> CheckControl(QCheckBox* check) {
  return std::make_unique<Check>(check);
}
std::unique_ptr<FieldControl> LimitControl(QCheckBox* limited, QLineEdit* limit) {
  return std::make_unique<Limit>(limited, limit);
}
std::unique_ptr<FieldControl> ColourControl(QPushButton* button, ChooseColour choose) {
  return std::make_unique<Colour>(button, std::move(choose));
}

}  // namespace orbo
