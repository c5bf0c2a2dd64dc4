// The progress of a print job: a bar with Cancel that appears once the job
// runs long. The job lets window events run between pages, so while the
// bar lives no user input reaches anything else: a click cannot change the
// list being printed, start a second job or close a window under it.
#pragma once

#include <QObject>
#include <memory>

class QProgressDialog;
class QWidget;

namespace orbo {

class LanguageTexts;

class PrintProgress : public QObject {
 public:
  PrintProgress(const LanguageTexts& texts, int pages, QWidget* parent);
  ~PrintProgress() override;

  // After each page: shows it and lets pending events run; false once the
  // user cancelled.
  bool PageDone(int page);
  QProgressDialog& Bar() const { return *bar_; }

 private:
  bool eventFilter(QObject* watched, QEvent* event) override;

  const LanguageTexts& texts_;
  int pages_;
  std::unique_ptr<QProgressDialog> bar_;
};

}  // namespace orbo
