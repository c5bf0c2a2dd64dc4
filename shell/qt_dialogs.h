// The real dialogs. With ORBO_MESSAGES=auto in the environment, message boxes
// are written to standard error and answered with their default button, so
// the program can be driven by scripts.
#pragma once

#include <memory>

#include "shell/dialogs.h"

namespace orbo {

class QtDialogs : public Dialogs {
 public:
  QtDialogs();
  ~QtDialogs() override;

  MessageAnswer ShowMessage(QWidget* parent, const QString& text, MessageStyle style) override;
  QString OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                       const QString& start) override;
  QString SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                       const QString& start) override;
  QString ExistingFolder(QWidget* parent, const QString& title, const QString& start) override;
  QString AskText(QWidget* parent, const LanguageTexts& texts, const QString& prompt,
                  const QString& start, bool password, const QString& browseFilter) override;
  int RunModal(QDialog& dialog) override;
  std::optional<QColor> ChooseColor(QWidget* parent, const QColor& start) override;
  std::optional<QFont> ChooseFont(QWidget* parent, const QFont& start) override;
  bool PrinterSetup(QWidget* parent, QPrinter& printer) override;
  bool OpenUrl(const QUrl& url) override;
  MediaPlayer& Media() override;
  void Fatal(const QString& message) override;

 private:
  bool autoAnswer_ = false;
  // Made at the first media value played.
  std::unique_ptr<MediaPlayer> media_;
};

}  // namespace orbo
