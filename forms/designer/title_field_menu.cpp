#include "forms/designer/title_field_menu.h"

#include <QAction>
#include <QMenu>

#include "forms/designer/designer_texts.h"
#include "shell/window_context.h"
#include "storage/element_values.h"
#include "storage/model_invariants.h"

namespace orbo {
namespace {

std::size_t At(int i) { return static_cast<std::size_t>(i); }

}  // namespace

TitleFieldMenu::TitleFieldMenu(WindowContext& context, QMenu& menu, std::function<int()> form)
    : QObject(&menu), context_(context), menu_(menu), form_(std::move(form)) {
  connect(&menu_, &QMenu::aboutToShow, this, [this] { Fill(); });
}

void TitleFieldMenu::UpdateEnabled() {
  const int form = form_();
  menu_.menuAction()->setEnabled(form >= 0 &&
                                 !TitleCandidates(context_.db.Forms[At(form)]).empty());
}

void TitleFieldMenu::Fill() {
  menu_.clear();
  const int form = form_();
  if (form < 0) return;
  const FormDef& def = context_.db.Forms[At(form)];
  for (const auto& [element, name] : TitleCandidates(def)) {
    QAction* entry = menu_.addAction(name);
    entry->setObjectName(QStringLiteral("mnuMainField2_%1").arg(element.Code()));
    entry->setCheckable(true);
    entry->setChecked(element == def.TitleElement);
    connect(entry, &QAction::triggered, this,
            context_.funnel.Gated([this, element = element] { Choose(element); }));
  }
}

void TitleFieldMenu::Choose(ElementRef element) {
  Database& db = context_.db;
  const int form = form_();
  // An entry of a menu made for another form names nothing here.
  if (form < 0 || !IsValidTitleElement(db.Forms[At(form)], element)) return;
  context_.funnel.Change(context_.texts.Get(designer_texts::kChooseTitleStep),
                         ChangeScope::Forms({form}),
                         [&] { db.Forms[At(form)].TitleElement = element; });
}

}  // namespace orbo
