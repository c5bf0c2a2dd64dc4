#include "shell/quick_filter_box.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolBar>

#include "shell/contents_model.h"
#include "shell/navigation_texts.h"
#include "shell/navigator.h"
#include "shell/window_context.h"

namespace orbo {

QuickFilterBox::QuickFilterBox(WindowContext& context, Navigator& navigator)
    : context_(context), navigator_(navigator) {
  QToolBar& bar = *context_.commands.Bar(kMainBar);
  bar.addSeparator();
  box_ = new QLineEdit(&bar);
  box_->setObjectName("QuickFilterText");
  box_->setClearButtonEnabled(true);
  box_->setMaximumWidth(220);
  bar.addWidget(box_);
  allTexts_ = bar.addAction(QString());
  allTexts_->setObjectName("QuickFilterAllTexts");
  allTexts_->setCheckable(true);
  allTexts_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K));
  ApplyTexts();
  pending_.setSingleShot(true);
  pending_.setInterval(0);
  connect(&pending_, &QTimer::timeout, this, [this] {
    // A command still running (a dialog, say) gets the filter when it ends.
    if (!context_.funnel.Run([this] { Apply(); }))
      QTimer::singleShot(100, this, [this] { pending_.start(); });
  });
  connect(box_, &QLineEdit::textChanged, this, [this] { pending_.start(); });
  connect(allTexts_, &QAction::toggled, this, [this] { pending_.start(); });
  connect(box_, &QLineEdit::returnPressed, this,
          [this] { context_.funnel.Run([this] { OpenFirstMatch(); }); });
  auto* focus = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_K), bar.parentWidget());
  connect(focus, &QShortcut::activated, this, [this] {
    box_->setFocus(Qt::ShortcutFocusReason);
    box_->selectAll();
  });
  box_->installEventFilter(this);
}

bool QuickFilterBox::eventFilter(QObject* watched, QEvent* event) {
  // Escape in the box clears it, whatever else would take the key.
  if (watched == box_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !box_->text().isEmpty()) {
    box_->clear();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

void QuickFilterBox::ApplyTexts() {
  const LanguageTexts& t = context_.texts;
  box_->setPlaceholderText(t.Get(navigation_texts::kFilterPlaceholder));
  box_->setToolTip(t.Get(navigation_texts::kFilterTooltip));
  allTexts_->setText(t.Get(navigation_texts::kFilterAllTexts));
  allTexts_->setToolTip(t.Get(navigation_texts::kFilterAllTextsTooltip));
}

void QuickFilterBox::Clear() {
  {
    const QSignalBlocker quiet(box_);
    box_->clear();
  }
  pending_.stop();
  navigator_.SetQuickFilter({QString(), allTexts_->isChecked()});
}

void QuickFilterBox::Apply() {
  const QuickFilter filter{box_->text(), allTexts_->isChecked()};
  const QuickFilter& shown = navigator_.Filter();
  if (filter.text == shown.text && filter.anyText == shown.anyText) return;
  navigator_.SetQuickFilter(filter);
}

void QuickFilterBox::OpenFirstMatch() {
  Apply();
  const DisplayState& state = context_.state;
  if (state.CurRecord != -1 || box_->text().isEmpty()) return;
  // The list holds the matches in their order.
  const std::vector<int>& matches = navigator_.Contents().Records();
  if (!matches.empty()) navigator_.ShowRecord(matches.front());
}

}  // namespace orbo
