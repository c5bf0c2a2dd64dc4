// What an element shows of a record, and what the editing commands offer:
// the rules of the record editor that need no widget.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

#include "storage/database_model.h"

namespace orbo {

// A combo's items from its stored list: lines split at CR LF, an empty line
// (and the end after a final CR LF) as a single blank; nothing for "".
QStringList ComboItems(const QString& list);

// Every record of form, free slots too: they keep the values of the form
// they name.
std::vector<int> RecordsOfForm(const Database& db, int form);

// The part of a path after its last "\" or "/".
QString FileNamePart(const QString& path);

// Button actions, as stored per button element.
enum ButtonAction : int {
  kSendMail = 0,
  kOpenAddress = 1,
  kPlayMedia = 2,
  kOpenFile = 3,
  kOpenValue = 4,
  kAddRecordAction = 5,
  kDeleteRecordAction = 6,
  kNextRecordAction = 7,
  kPreviousRecordAction = 8,
};

// What a button shows in database mode: its value, the file name part of
// it (media and file), or the name of its record action (actionName).
QString ButtonCaption(int action, const QString& value,
                      const std::function<QString(int action)>& actionName);

// Whether the action works on a value the user sets.
bool ActionTakesValue(int action);

// The quick list of text element slot: the distinct values of that slot in
// the other records of the form, in record order.
QStringList QuickListValues(const Database& db, int shownRecord, int form, int slot);

// The elements that hold a value, in the order exports and the record
// table list them: images, texts, buttons, combos, flags, multiline texts,
// each kind by slot. Labels carry none.
std::vector<ElementRef> ValueElements(const FormDef& form);
// A value as text: a combo's chosen line; nothing for flags.
QString ValueText(const FormDef& form, const RecordData& record, const ElementRef& element);

// The elements that can title the records of a form, as (code, name), in
// the order they are offered.
std::vector<std::pair<ElementRef, QString>> TitleCandidates(const FormDef& form);

}  // namespace orbo
