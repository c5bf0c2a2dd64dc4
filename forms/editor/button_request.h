// What a click on a button element asks for, decided from its action and
// value alone. Values are handed to the desktop only when they are what
// the action claims: a mail address, an address or file that exists.
#pragma once

#include <QString>
#include <QUrl>

#include "storage/text_id.h"

namespace orbo {

struct ButtonRequest {
  enum Kind {
    kNothing,  // no value, or an unknown action
    kOpen,     // url to the desktop
    kPlay,     // file to the media player
    kAddRecord,
    kDeleteRecord,
    kNextRecord,
    kPreviousRecord,
    kRefused,  // the value is not what the action needs; value says which
  };
  Kind kind = kNothing;
  QUrl url;
  QString file;
  QString value;
};

ButtonRequest ButtonClickRequest(int action, const QString& value, const QString& databasePath);

// How a button's value is asked for.
struct ValueQuestion {
  enum Kind { kNoQuestion, kTypedValue, kChosenFile };
  Kind kind = kNoQuestion;
  TextId prompt{};      // the prompt (kTypedValue)
  bool browse = false;  // with a button that chooses a file
};

ValueQuestion ButtonValueQuestion(int action);

}  // namespace orbo
