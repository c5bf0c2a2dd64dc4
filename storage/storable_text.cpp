#include "storage/storable_text.h"

#include "storage/stored_texts.h"

namespace orbo {
namespace {

bool Storable(const QString& text, CodePage& codePage, QByteArray* scratch) {
  return !text.contains(QChar(0)) && codePage.Encode(text, scratch);
}

QString StorableForm(const QString& text, CodePage& codePage) {
  QString result;
  QByteArray scratch;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const bool pair =
        text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    const QString character = text.mid(i, pair ? 2 : 1);
    if (pair) ++i;
    if (character == QChar(0)) {
      result += QLatin1Char(' ');
    } else if (!codePage.Encode(character, &scratch)) {
      result += QLatin1Char('?');
    } else {
      result += character;
    }
  }
  return result;
}

}  // namespace

std::vector<TextPlace> FindUnstorableTexts(const Database& db, CodePage& codePage, int limit) {
  std::vector<TextPlace> places;
  QByteArray scratch;
  ForEachStoredText(db, [&](const QString& text, const TextPlace& place) {
    // NUL encodes; only the stream cannot carry it, and it becomes a space.
    if (static_cast<int>(places.size()) >= limit || codePage.Encode(text, &scratch)) return;
    // One place per text holder: a record field, a folder, an element.
    if (places.empty() || places.back() != place) places.push_back(place);
  });
  return places;
}

int MakeTextsStorable(Database& db, CodePage& codePage) {
  int changed = 0;
  QByteArray scratch;
  ForEachStoredText(db, [&](QString& text, const TextPlace&) {
    if (Storable(text, codePage, &scratch)) return;
    text = StorableForm(text, codePage);
    ++changed;
  });
  return changed;
}

}  // namespace orbo
