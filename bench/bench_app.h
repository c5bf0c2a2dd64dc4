// The program for a benchmark: offscreen in the build's program folder, with
// settings of its own and dialogs that answer at once, so nothing waits for
// a person.
#pragma once

#include <QTemporaryDir>

#include "app/app.h"
#include "app/main_window.h"
#include "shell/dialogs.h"
#include "shell/qt_media_player.h"
#include "storage/stream_library.h"

class NoDialogs : public orbo::Dialogs {
 public:
  orbo::MessageAnswer ShowMessage(QWidget*, const QString&, orbo::MessageStyle) override {
    return orbo::kAnswerYes;
  }
  QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
    return {};
  }
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
    return {};
  }
  QString AskText(QWidget*, const orbo::LanguageTexts&, const QString&, const QString& start, bool,
                  const QString&) override {
    return start;
  }
  int RunModal(QDialog&) override { return 0; }
  bool PrinterSetup(QWidget*, QPrinter&) override { return false; }
  bool OpenUrl(const QUrl&) override { return false; }
  // Never played: the benchmarks press no button.
  orbo::MediaPlayer& Media() override { return media_; }
  void Fatal(const QString& message) override { qFatal("%s", qPrintable(message)); }

 private:
  orbo::QtMediaPlayer media_;
};

struct BenchApp {
  QTemporaryDir settings;
  NoDialogs dialogs;
  orbo::App app{QStringLiteral(ORBO_BIN_DIR), settings.filePath("orbo118.ini"), dialogs};

  // False when the program did not start.
  bool Start(int width, int height) {
    orbo::stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
    if (!app.Main(QString())) return false;
    app.Parts().Window().resize(width, height);
    return true;
  }
};
