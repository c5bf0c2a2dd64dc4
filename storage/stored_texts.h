// Every text a database file stores, for the code that looks at or mends
// them all alike.
#pragma once

#include <cstddef>

#include "storage/database_model.h"
#include "storage/field_table.h"
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
        ForEachElementField(form, t, k, [&](const ElementField&, auto& value) {
          ForEachTextOf(value, [&](auto& text) { visit(text, place); });
        });
      }
    }
  }
  visit(db.DatabaseFont.Name, TextPlace{TextPlace::kDatabaseFont});
  for (int r = 0; r < db.RecordCount; ++r) {
    auto& record = db.Records[At(r)];
    const int form = record.Form;
    if (form < 0 || form >= db.FormCount) continue;
    const auto& n = db.Forms[At(form)].ElementCount;
    ForEachRecordField(record, [&](const RecordField& field, auto& values) {
      for (int k = 0; k < n[At(field.type)] && k < kSlotCount; ++k) {
        ForEachTextOf(values[At(k)], [&](auto& text) {
          visit(text, TextPlace{TextPlace::kRecordValue, r, field.type, k});
        });
      }
    });
  }
  for (int d = 0; d < db.FolderCount; ++d) {
    auto& folder = db.Folders[At(d)];
    visit(folder.Name, TextPlace{TextPlace::kFolder, d});
    visit(folder.Icon, TextPlace{TextPlace::kFolder, d});
  }
}

}  // namespace orbo
