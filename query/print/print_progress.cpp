#include "query/print/print_progress.h"

#include <QCoreApplication>
#include <QEvent>
#include <QProgressDialog>
#include <QWindow>

#include "query/print/print_texts.h"
#include "shell/common_texts.h"
#include "shell/language_texts.h"

namespace orbo {
namespace {

// A job that takes longer than this shows the bar.
constexpr int kShowAfterMs = 500;

bool IsUserInput(const QEvent& event) {
  return event.isInputEvent() || event.type() == QEvent::Close || event.type() == QEvent::Shortcut;
}

bool IsWithin(const QObject* object, const QWidget& window) {
  if (auto* handle = qobject_cast<const QWindow*>(object)) return handle == window.windowHandle();
  for (; object; object = object->parent()) {
    if (object == &window) return true;
  }
  return false;
}

}  // namespace

PrintProgress::PrintProgress(const LanguageTexts& texts, int pages, QWidget* parent)
    : texts_(texts),
      pages_(pages),
      bar_(std::make_unique<QProgressDialog>(QString(), texts.Get(common_texts::kCancel), 0, pages,
                                             parent)) {
  bar_->setObjectName("PrintProgress");
  bar_->setWindowTitle(texts.Get(print_texts::kPrintTitle));
  bar_->setWindowModality(Qt::WindowModal);
  bar_->setAutoClose(false);
  bar_->setAutoReset(false);
  bar_->setMinimumDuration(kShowAfterMs);
  bar_->setValue(0);
  QCoreApplication::instance()->installEventFilter(this);
}

PrintProgress::~PrintProgress() { QCoreApplication::instance()->removeEventFilter(this); }

bool PrintProgress::PageDone(int page) {
  bar_->setLabelText(
      texts_.Get(print_texts::kPrintingPageOf).arg(QString::number(page), QString::number(pages_)));
  bar_->setValue(page);
  QCoreApplication::processEvents();
  return !bar_->wasCanceled();
}

bool PrintProgress::eventFilter(QObject* watched, QEvent* event) {
  return IsUserInput(*event) && !IsWithin(watched, *bar_);
}

}  // namespace orbo
