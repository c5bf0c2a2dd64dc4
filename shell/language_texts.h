// The loaded language file: every caption, tooltip and message the user sees
// is entry N of group G of it.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <bitset>
#include <cstdint>

#include "storage/text_id.h"

namespace orbo {

class LanguageTexts {
 public:
  // Files of earlier versions hold at most 513 texts; the words of the
  // features added since need room beyond them.
  static constexpr int kTextCount = 1024;
  static constexpr int kGroupCount = 1004;

  // Reads a language file (UTF-8). A group of kGroupCount or above, or a 1025th text,
  // ends the load with false; what was stored until then stays.
  bool Load(const QString& path);
  bool LoadLines(const QStringList& lines);

  // Entry n of group g; an empty text when the file does not reach it.
  QString Get(int group, int entry) const;
  // Whether the loaded files define group g and reach its entry n.
  bool Has(int group, int entry) const;
  QString Get(TextId id) const { return Get(id.group, id.entry); }
  bool Has(TextId id) const { return Has(id.group, id.entry); }
  // A text about n things, with n in place of %1. Its forms stand apart by
  // '|': one form is for every number, two are English's (one, other), three
  // Russian's (one, few, many: 1 21, 2 3 4 22, 0 5 11 12 25).
  QString Count(TextId id, qint64 n) const;

 private:
  std::array<QString, kTextCount> texts_;
  // A group the file does not define keeps its previous start.
  std::array<std::int16_t, kGroupCount> groupStart_ = {};
  std::bitset<kGroupCount> defined_;
  int stored_ = 0;
};

// The first line of a language file: the caption of its menu item.
QString LanguageCaption(const QString& path);

}  // namespace orbo
