#include "storage/model_defaults.h"

namespace orbo {

void ApplyNewElementDefaults(FormDef& form, int type, int slot, const FontSpec& defaultFont,
                             const NewNames& names) {
  ElementDef& e = form.Elements[type][slot];
  const auto k = static_cast<std::size_t>(slot);
  e.Name = names.elements[static_cast<std::size_t>(type)].arg(slot);
  e.Left = static_cast<std::int16_t>(type * 700 + 100);
  e.Top = 500;
  e.Font = defaultFont;
  e.Alignment = 0;
  switch (type) {
    case kImage:
      e.Width = 1000;
      e.Height = 1000;
      e.Border = 2;
      form.ImageSize[k] = 1;
      form.DblClickAction[k] = 0;
      break;
    case kLabel:
      e.Width = 2000;
      e.Height = 250;
      e.Border = 0;
      e.BackColor = kSystemButtonFaceColour;
      e.ForeColor = kSystemWindowTextColour;
      e.Left = 100;
      e.Transparent = true;
      form.ToolTip[k].clear();
      break;
    case kText:
      e.Width = 3000;
      e.Height = 250;
      e.Border = 2;
      e.BackColor = kSystemWindowColour;
      e.ForeColor = kSystemWindowTextColour;
      e.Left = 800;
      form.QuickEnter[k] = 0;
      form.PasswordField[k] = 0;
      break;
    case kButton:
      e.Width = 1000;
      e.Height = 400;
      e.BackColor = kSystemButtonFaceColour;
      form.ButtonAction[k] = 0;
      break;
    case kCombo:
      e.Width = 1000;
      e.Height = 400;
      e.BackColor = kSystemWindowColour;
      e.ForeColor = kSystemWindowTextColour;
      form.ComboList[k] = QStringLiteral("Value A\r\nValue B");
      break;
    case kFlag:
      e.Width = 1000;
      e.Height = 300;
      e.BackColor = kSystemWindowColour;
      e.ForeColor = kSystemWindowTextColour;
      form.FlagAppearance[k] = 1;
      form.FlagAtRight[k] = 0;
      break;
    case kMultiline:
      e.Width = 3000;
      e.Height = 3000;
      e.Border = 2;
      e.BackColor = kSystemWindowColour;
      e.ForeColor = kSystemWindowTextColour;
      e.Left = 800;
      form.TextLimit[k] = 0;
      break;
    default:
      break;
  }
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
