// A program folder of its own for a test: the data files, the language files
// and the example database, so a test never touches the build's folder.
#pragma once

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/app.h"
#include "app/main_window.h"
#include "shell/dialogs.h"
#include "storage/stream_library.h"

class TestInstall {
 public:
  TestInstall() {
    QDir root(dir_.path());
    root.mkpath("data/examples");
    root.mkpath("Texts");
    root.mkpath("config");
    const QString resources = QStringLiteral(ORBO_SOURCE_DIR "/resources/");
    Copy(resources + "data/root.dat", "data/root.dat");
    Copy(resources + "Texts/english.txt", "Texts/english.txt");
    Copy(resources + "Texts/russian.txt", "Texts/russian.txt");
    Copy(resources + "Texts/current.dat", "Texts/current.dat");
    Copy(QStringLiteral(ORBO_BIN_DIR "/data/examples/ex1.2db"), "data/examples/ex1.2db");
    orbo::stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  }

  QString Path(const QString& relative = QString()) const { return dir_.filePath(relative); }
  QString SettingsPath() const { return Path("config/orbo118.ini"); }

  void Copy(const QString& from, const QString& to) const {
    QFile::remove(Path(to));
    if (!QFile::copy(from, Path(to))) qFatal("cannot copy %s", qPrintable(from));
  }

  QString FirstLine(const QString& relative) const {
    QFile file(Path(relative));
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return QString::fromUtf8(file.readLine()).trimmed();
  }

  void Write(const QString& relative, const QByteArray& bytes) const {
    QFile file(Path(relative));
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(relative));
    file.write(bytes);
  }

 private:
  QTemporaryDir dir_;
};

// Plays nothing; a test sets its mode and reads what it was told.
class FakeMediaPlayer : public orbo::MediaPlayer {
 public:
  QStringList commands;
  Mode mode = kNotOpen;
  QString path;
  int percent = 0;

  void Play(const QString& file) override {
    commands << "play " + file;
    path = file;
    mode = kPlaying;
  }
  void Resume() override { commands << "resume"; }
  void Pause() override { commands << "pause"; }
  void Stop() override { commands << "stop"; }
  void Close() override {
    commands << "close";
    mode = kNotOpen;
    path.clear();
  }
  Mode CurrentMode() const override { return mode; }
  QString FilePath() const override { return path; }
  int Percent() const override { return percent; }
};

// Answers every dialog the way the test says, and remembers what was asked.
class FakeDialogs : public orbo::Dialogs {
 public:
  QStringList messages;
  QList<orbo::MessageAnswer> answers;  // taken in order; then Yes / OK
  QString openPath;
  QString savePath;
  QString typedText;
  QStringList typedTexts;  // taken in order; then typedText
  QStringList prompts;
  QList<bool> passwordMode;
  std::optional<QColor> color;  // what the colour and font dialogs choose
  std::optional<QFont> font;
  std::function<int(QDialog&)> onModal = [](QDialog&) { return 0; };
  int modalCount = 0;
  QStringList fatal;
  // Runs while the next message is open, as timers and clicks would.
  std::function<void()> whileAsking;

  orbo::MessageAnswer ShowMessage(QWidget*, const QString& text,
                                  orbo::MessageStyle style) override {
    messages << text;
    if (whileAsking) std::exchange(whileAsking, nullptr)();
    if (!answers.isEmpty()) return answers.takeFirst();
    return style.IsQuestion() ? orbo::kAnswerYes : orbo::kAnswerOk;
  }
  QStringList fileDialogStarts;  // where each file dialog opened
  QStringList fileDialogTitles;  // and each one's title and filter
  QStringList fileDialogFilters;
  int fileDialogs = 0;
  void NoteFileDialog(const QString& title, const QString& filter, const QString& start) {
    fileDialogTitles << title;
    fileDialogFilters << filter;
    fileDialogStarts << start;
    ++fileDialogs;
  }
  QString OpenFileName(QWidget*, const QString& title, const QString& filter,
                       const QString& start) override {
    NoteFileDialog(title, filter, start);
    return openPath;
  }
  QString saveStart;  // the folder the last save dialog opened in
  QString SaveFileName(QWidget*, const QString& title, const QString& filter,
                       const QString& start) override {
    NoteFileDialog(title, filter, start);
    saveStart = start;
    return savePath;
  }
  QString folderPath;  // what the folder dialog chooses
  QString ExistingFolder(QWidget*, const QString&, const QString& start) override {
    fileDialogStarts << start;
    ++fileDialogs;
    return folderPath;
  }
  QString AskText(QWidget*, const orbo::LanguageTexts&, const QString& prompt, const QString&,
                  bool password, const QString&) override {
    prompts << prompt;
    passwordMode << password;
    return typedTexts.isEmpty() ? typedText : typedTexts.takeFirst();
  }
  std::optional<QColor> ChooseColor(QWidget*, const QColor&) override { return color; }
  std::optional<QFont> ChooseFont(QWidget*, const QFont&) override { return font; }
  int RunModal(QDialog& dialog) override {
    ++modalCount;
    return onModal(dialog);
  }
  // The printer set-up: changes the printer as the test says.
  int printerSetups = 0;
  std::function<bool(QPrinter&)> onPrinterSetup = [](QPrinter&) { return false; };
  bool PrinterSetup(QWidget*, QPrinter& printer) override {
    ++printerSetups;
    return onPrinterSetup(printer);
  }
  QList<QUrl> opened;
  bool OpenUrl(const QUrl& url) override {
    opened << url;
    return true;
  }
  FakeMediaPlayer media;
  orbo::MediaPlayer& Media() override { return media; }
  void Fatal(const QString& message) override { fatal << message; }
};

// The control of that name below parent; a test stops when it is missing.
template <typename Widget>
Widget& Child(QObject& parent, const char* name) {
  auto* child = parent.findChild<Widget*>(name);
  if (!child) qFatal("no control %s", name);
  return *child;
}

// Presses the left button at from, moves to to and lets go there.
inline void Drag(QWidget* on, QPoint from, QPoint to) {
  QTest::mousePress(on, Qt::LeftButton, {}, from);
  QTest::mouseMove(on, to);
  QTest::mouseRelease(on, Qt::LeftButton, {}, to);
}

// The program started with a database path (that does not exist), so no
// start dialog waits; the failed-load message is forgotten.
struct RunningApp {
  TestInstall install;
  FakeDialogs dialogs;
  orbo::App app{install.Path(), install.SettingsPath(), dialogs};

  RunningApp() {
    app.Main("x");
    dialogs.messages.clear();
  }

  // Runs the window's command of that name.
  void Trigger(const char* command) { app.Parts().Window().Commands().Menu(command)->trigger(); }

  // Runs the dialog command opens: fill works its controls, then OK or
  // Cancel is pressed.
  void RunDialog(QAction* command, const std::function<void(QDialog&)>& fill, bool ok = true) {
    dialogs.onModal = [&](QDialog& dialog) {
      fill(dialog);
      Child<QPushButton>(dialog, ok ? "OkButt" : "CancelButt").click();
      return dialog.result();
    };
    command->trigger();
  }
};
