#include "storage/storable_text.h"

namespace orbo {
namespace {

std::size_t At(int i) { return static_cast<std::size_t>(i); }

// Calls visit(text, place) for every text the file stores, in file order.
// Db is a Database or a const Database.
template <typename Db, typename Visit>
void ForEachStoredText(Db& db, Visit visit) {
  for (int f = 0; f < db.FormCount; ++f) {
    auto& form = db.Forms[At(f)];
    visit(form.Icon, TextPlace{TextPlace::kForm, f});
    visit(form.Name, TextPlace{TextPlace::kForm, f});
    for (int t = 0; t < kElementTypeCount; ++t) {
      // The first free slot is stored too.
      for (int k = 0; k <= form.ElementCount[At(t)] && k < kSlotCount; ++k) {
        const TextPlace place{TextPlace::kElement, f, t, k};
        auto& element = form.Elements[At(t)][At(k)];
        visit(element.Name, place);
        visit(element.Font.Name, place);
        if (t == kLabel) visit(form.ToolTip[At(k)], place);
        if (t == kCombo) visit(form.ComboList[At(k)], place);
      }
    }
  }
  visit(db.DatabaseFont.Name, TextPlace{TextPlace::kDatabaseFont});
  for (int r = 0; r < db.RecordCount; ++r) {
    auto& record = db.Records[At(r)];
    const int form = record.Form;
    if (form < 0 || form >= db.FormCount) continue;
    const auto& n = db.Forms[At(form)].ElementCount;
    auto values = [&](auto& texts, int type) {
      for (int k = 0; k < n[At(type)] && k < kSlotCount; ++k) {
        visit(texts[At(k)], TextPlace{TextPlace::kRecordValue, r, type, k});
      }
    };
    values(record.ImageValue, kImage);
    values(record.TextValue, kText);
    values(record.ButtonValue, kButton);
    values(record.MemoValue, kMultiline);
  }
  for (int d = 0; d < db.FolderCount; ++d) {
    auto& folder = db.Folders[At(d)];
    visit(folder.Name, TextPlace{TextPlace::kFolder, d});
    visit(folder.Icon, TextPlace{TextPlace::kFolder, d});
  }
}

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
