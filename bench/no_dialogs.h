// The dialogs of a benchmark: everything is answered at once, so nothing
// waits for a person.
#pragma once

#include "forms/qt_media_player.h"
#include "shell/dialogs.h"

class NoDialogs : public orbo::Dialogs {
 public:
  orbo::MessageAnswer ShowMessage(QWidget*, const QString&, int) override { return orbo::kAnswerYes; }
  QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
  QString SaveFileName(QWidget*, const QString&, const QString&) override { return {}; }
  QString AskText(QWidget*, const orbo::LanguageTexts&, const QString&, const QString& start, bool,
                  const QString&) override {
    return start;
  }
  int RunModal(QDialog&) override { return 0; }
  bool OpenUrl(const QUrl&) override { return false; }
  // Never played: the benchmarks press no button.
  orbo::MediaPlayer& Media() override { return media_; }
  void Fatal(const QString& message) override { qFatal("%s", qPrintable(message)); }

 private:
  orbo::QtMediaPlayer media_;
};
