#include "storage/model_defaults.h"

#include <type_traits>

#include "storage/field_table.h"

namespace orbo {

void ApplyNewElementDefaults(FormDef& form, int type, int slot, const FontSpec& defaultFont,
                             const NewNames& names) {
  const auto t = static_cast<std::size_t>(type);
  ForEachElementField(form, type, slot, [&](const ElementField& field, auto& value) {
    using Value = std::remove_cvref_t<decltype(value)>;
    const NewValue& start = field.start[t];
    if (start.kind == NewValue::kKept) return;
    if constexpr (std::is_same_v<Value, FontSpec>) {
      value = defaultFont;
    } else if constexpr (std::is_same_v<Value, QString>) {
      value = start.kind == NewValue::kGiven ? names.elements[t].arg(slot)
                                             : QString::fromLatin1(start.text);
    } else {
      value = static_cast<Value>(start.number);
    }
  });
}

void ApplyNewFormDefaults(FormDef& form, int n, const FontSpec& defaultFont,
                          const NewNames& names) {
  form.Name = names.form.arg(n);
  form.Icon = QStringLiteral("record");
  form.Width = 6000;
  form.Height = 4500;
  form.ElementCount.fill(0);
  form.ElementCount[kText] = 1;
  form.BackColor = kSystemWindowColour;
  form.Border = 1;
  form.TitleElement = {kText, 0};
  form.PrintOffsetX = 200;
  form.PrintOffsetY = 200;
  form.Shadow = 1;

  ApplyNewElementDefaults(form, kText, 0, defaultFont, names);
  ElementDef& title = form.Elements[kText][0];
  title.Left = 500;
  title.Width = 5000;
  title.Alignment = 2;
}

void ApplyNewFolderDefaults(FolderDef& folder, int n) {
  folder.Parent = TopLevelParent;
  folder.Name = QStringLiteral("Folder ") + QString::number(n);
  folder.Icon = QStringLiteral("root");
  folder.FolderReserved = 0;
}

}  // namespace orbo
