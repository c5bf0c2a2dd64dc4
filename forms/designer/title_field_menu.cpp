#include "forms/designer/title_field_menu.h"

#include <QAction>
#include <QMenu>

#include "app/app.h"
#include "shell/folder_tree.h"
#include "storage/element_values.h"
#include "storage/model_invariants.h"

namespace orbo {

TitleFieldMenu::TitleFieldMenu(App& app, QMenu& menu, std::function<int()> form)
    : QObject(&menu), app_(app), menu_(menu), form_(std::move(form)) {
  connect(&menu_, &QMenu::aboutToShow, this, [this] { Fill(); });
}

void TitleFieldMenu::UpdateEnabled() {
  const int form = form_();
  menu_.menuAction()->setEnabled(
      form >= 0 && !TitleCandidates(app_.db.Forms[static_cast<std::size_t>(form)]).empty());
}

void TitleFieldMenu::Fill() {
  menu_.clear();
  const int form = form_();
  if (form < 0) return;
  const int current = app_.db.Forms[static_cast<std::size_t>(form)].TitleElement;
  for (const auto& [code, name] : TitleCandidates(app_.db.Forms[static_cast<std::size_t>(form)])) {
    QAction* entry = menu_.addAction(name);
    entry->setObjectName(QStringLiteral("mnuMainField2_%1").arg(code));
    entry->setCheckable(true);
    entry->setChecked(code == current);
    connect(entry, &QAction::triggered, this,
            app_.Funnel().Gated([this, code = code] { Choose(code); }));
  }
}

void TitleFieldMenu::Choose(int code) {
  const int form = form_();
  // An entry of a menu made for another form names nothing here.
  if (form < 0 || !IsValidTitleElement(app_.db.Forms[static_cast<std::size_t>(form)], code)) return;
  app_.db.Forms[static_cast<std::size_t>(form)].TitleElement = static_cast<std::int16_t>(code);
  for (int r = 0; r < app_.db.RecordCount; ++r) {
    const RecordData& record = app_.db.Records[static_cast<std::size_t>(r)];
    if (record.Form == form && record.Folder != BufferFolder)
      app_.Tree().UpdateRecordText(app_.db, r);
  }
  app_.SetModified(true);
  app_.UpdateTitle();
}

}  // namespace orbo
