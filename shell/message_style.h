// The buttons and icon of a message box, and the button the user chose.
#pragma once

namespace orbo {

// Buttons and icon of a message. Yes is the default button of a question
// unless NoByDefault says No.
struct MessageStyle {
  enum class Buttons { Ok, YesNoCancel, YesNo };
  Buttons buttons = Buttons::Ok;
  bool warning = false;
  bool noByDefault = false;

  constexpr bool IsQuestion() const { return buttons != Buttons::Ok; }
  constexpr MessageStyle Warning() const { return {buttons, true, noByDefault}; }
  constexpr MessageStyle NoByDefault() const { return {buttons, warning, true}; }
  friend bool operator==(const MessageStyle&, const MessageStyle&) = default;
};
inline constexpr MessageStyle kOkOnly{};
inline constexpr MessageStyle kExclamation = kOkOnly.Warning();
inline constexpr MessageStyle kYesNo{MessageStyle::Buttons::YesNo};
inline constexpr MessageStyle kYesNoCancel{MessageStyle::Buttons::YesNoCancel};

enum MessageAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

}  // namespace orbo
