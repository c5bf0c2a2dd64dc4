// Every text a database file stores, for the code that looks at or mends
// them all alike.
#pragma once

#include <cstddef>

#include "storage/database_model.h"
#include "storage/storable_text.h"

namespace orbo {
namespace stored_texts {

inline std::size_t At(int i) { return static_cast<std::size_t>(i); }

}  // namespace stored_texts

// Calls visit(text, place) for every text the file stores, in file order.
// Db is a Database or a const Database.
template <typename Db, typename Visit>
void ForEachStoredText(Db& db, Visit visit) {
  using stored_texts::At;
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

}  // namespace orbo
