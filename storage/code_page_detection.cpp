#include "storage/code_page_detection.h"

#include <algorithm>
#include <optional>

#include "storage/storage_error.h"
#include "storage/stored_texts.h"

namespace orbo {
namespace {

bool BeyondAscii(const QByteArray& bytes) {
  for (const char byte : bytes)
    if (static_cast<unsigned char>(byte) >= 0x80) return true;
  return false;
}

// The letters of one word, by kind.
struct Word {
  int ascii = 0;
  int latin = 0;  // Latin letters beyond ASCII
  int cyrillic = 0;
  int other = 0;

  int Beyond() const { return latin + cyrillic + other; }
};

QList<Word> WordsOf(const QString& text) {
  QList<Word> words;
  qsizetype i = 0;
  while (i < text.size()) {
    Word word;
    for (; i < text.size() && text[i].isLetter(); ++i) {
      const QChar c = text[i];
      if (c.unicode() < 0x80)
        ++word.ascii;
      else if (c.script() == QChar::Script_Latin)
        ++word.latin;
      else if (c.script() == QChar::Script_Cyrillic)
        ++word.cyrillic;
      else
        ++word.other;
    }
    if (word.ascii + word.Beyond() > 0) words << word;
    if (i < text.size() && !text[i].isLetter()) ++i;
  }
  return words;
}

// How much a text reads like words: letters beyond ASCII count for it when
// they keep to one script, a Latin word being mostly ASCII letters (words of
// one or two letters may be all accents), and against it when a word mixes
// Latin with Cyrillic, when a longer Latin word is mostly accents, and when
// Cyrillic words stand among Latin ones.
qint64 TextScore(const QString& text) {
  const QList<Word> words = WordsOf(text);
  const bool latinWords = std::any_of(words.begin(), words.end(),
                                      [](const Word& w) { return w.ascii > 0 && w.cyrillic == 0; });
  qint64 score = 0;
  for (const Word& w : words) {
    if (w.Beyond() == 0) continue;
    if (w.cyrillic > 0 && w.ascii + w.latin > 0)
      score -= 2 * w.Beyond();
    else if (w.cyrillic > 0)
      score += (latinWords ? -w.cyrillic : w.cyrillic) - w.other;
    else if (w.ascii >= w.latin)
      score += w.latin - w.other;
    else if (w.ascii + w.latin > 2)
      score -= w.Beyond();
    else
      score -= w.other;
  }
  return score;
}

// The bytes of every stored text beyond ASCII, as readIn took them from the file.
QList<QByteArray> BytesBeyondAscii(const Database& db, CodePage& readIn) {
  QList<QByteArray> texts;
  QByteArray bytes;
  ForEachStoredText(db, [&](const QString& text, const TextPlace&) {
    if (readIn.Encode(text, &bytes) && BeyondAscii(bytes)) texts << bytes;
  });
  return texts;
}

std::optional<CodePage> Usable(const QString& name) {
  try {
    return CodePage(name);
  } catch (const StorageError&) {
    return std::nullopt;
  }
}

bool SameKey(const Database& db, CodePage& from, CodePage& to) {
  if (!db.PasswordOn) return true;
  QByteArray fromBytes, toBytes;
  return from.Encode(db.Password, &fromBytes) && to.Encode(db.Password, &toBytes) &&
         fromBytes == toBytes;
}

}  // namespace

QStringList KnownCodePages() {
  return {QStringLiteral("windows-1252"), QStringLiteral("windows-1251")};
}

QString DetectCodePage(const Database& db, CodePage& readIn, const QStringList& candidates) {
  const QList<QByteArray> texts = BytesBeyondAscii(db, readIn);
  QString best = readIn.Name();
  if (texts.isEmpty()) return best;
  auto scoreIn = [&texts](CodePage& page) {
    qint64 score = 0;
    for (const QByteArray& bytes : texts)
      score += TextScore(page.Decode(bytes.constData(), static_cast<int>(bytes.size())));
    return score;
  };
  qint64 bestScore = scoreIn(readIn);
  for (const QString& name : candidates) {
    std::optional<CodePage> page = Usable(name);
    if (!page || page->Name() == readIn.Name()) continue;
    const qint64 score = scoreIn(*page);
    if (score > bestScore) {
      bestScore = score;
      best = page->Name();
    }
  }
  return best;
}

void TakeDetectedCodePage(Database& db, CodePage& readIn, const QStringList& candidates) {
  const QString name = DetectCodePage(db, readIn, candidates);
  if (name == readIn.Name()) return;
  CodePage detected(name);
  if (!SameKey(db, readIn, detected)) return;
  QByteArray bytes;
  ForEachStoredText(db, [&](QString& text, const TextPlace&) {
    if (readIn.Encode(text, &bytes))
      text = detected.Decode(bytes.constData(), static_cast<int>(bytes.size()));
  });
  db.CodePageName = detected.Name();
}

}  // namespace orbo
