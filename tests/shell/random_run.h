// What the random tests of the main window share: dialogs answered at
// random, the offscreen platform kept quiet, and the checks of the window
// against the model and of the model against its file.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTabBar>
#include <QTreeWidget>
#include <deque>

#include "app/app.h"
#include "app/main_window.h"
#include "sample_databases.h"
#include "shell/dialogs.h"
#include "shell/folder_tree.h"
#include "shell/folder_tree_widget.h"
#include "shell/navigator.h"
#include "shell/window_texts.h"
#include "storage/code_page.h"
#include "storage/database_commands.h"
#include "storage/database_file.h"
#include "storage/element_values.h"
#include "storage/model_invariants.h"
#include "storage/navigation_logic.h"
#include "storage/quick_filter.h"
#include "storage/record_title.h"
#include "storage/stored_content.h"
#include "test_install.h"

namespace orbo::test {

// Answers every question at random; saves go to a handful of files.
class RandomDialogs : public orbo::Dialogs {
 public:
  RandomDialogs(QRandomGenerator& random, QString folder)
      : random_(random), folder_(std::move(folder)) {}

  QStringList savedPaths;
  std::function<void()> duringQuestion;
  // What was asked, one word each ("yes", "no", "cancel", "ok" for the
  // messages; "file", "text", a dialog's name, "colour", "font" for the
  // rest), for tests that judge what an event may change.
  QStringList asked;

  MessageAnswer ShowMessage(QWidget*, const QString&, MessageStyle style) override {
    if (duringQuestion) std::exchange(duringQuestion, nullptr)();
    MessageAnswer answer = kAnswerOk;
    switch (style.buttons) {
      case MessageStyle::Buttons::YesNoCancel:
        answer = Pick({kAnswerYes, kAnswerNo, kAnswerCancel});
        break;
      case MessageStyle::Buttons::YesNo:
        answer = Pick({kAnswerYes, kAnswerYes, kAnswerNo});
        break;
      case MessageStyle::Buttons::Ok:
        break;
    }
    asked << (answer == kAnswerYes      ? "yes"
              : answer == kAnswerNo     ? "no"
              : answer == kAnswerCancel ? "cancel"
                                        : "ok");
    return answer;
  }
  // A saved database, a picture, or nothing.
  QString OpenFileName(QWidget*, const QString&, const QString& filter, const QString&) override {
    asked << "file";
    // The last export, or a file that is no Access database.
    // A CSV file the export wrote, when one is asked for and there is one.
    const QStringList csvFiles = QDir(folder_).entryList({"*.csv"}, QDir::Files);
    if (openCsv && !csvFiles.isEmpty())
      return folder_ + u'/' + csvFiles[random_.bounded(csvFiles.size())];
    if (filter.contains(QLatin1String("*.mdb")))
      return folder_ + (random_.bounded(4) ? "/export.mdb" : "/picture.png");
    const QStringList offered = savedPaths + QStringList{folder_ + "/picture.png"};
    if (random_.bounded(8) == 0) return {};
    return offered[random_.bounded(offered.size())];
  }
  // The next table file asked for is one of the CSV exports.
  bool openCsv = false;
  // The path the next database save dialog answers, when set.
  QString nextSavePath;

  QString SaveFileName(QWidget*, const QString&, const QString& filter, const QString&) override {
    asked << "file";
    if (!nextSavePath.isEmpty() && filter.contains(QLatin1String("*.2db")))
      return std::exchange(nextSavePath, {});
    if (random_.bounded(10) == 0) return {};
    if (filter.contains(QLatin1String("*.pdf"))) return folder_ + "/pages.pdf";
    if (filter.contains(QLatin1String("*.mdb"))) return folder_ + "/export.mdb";
    const QString path = QStringLiteral("%1/db%2.2db").arg(folder_).arg(random_.bounded(4));
    if (!savedPaths.contains(path)) savedPaths << path;
    return path;
  }
  // The CSV export's folder, or nothing.
  QString ExistingFolder(QWidget*, const QString&, const QString&) override {
    asked << "folder";
    return random_.bounded(4) ? folder_ : QString();
  }
  QString AskText(QWidget*, const LanguageTexts&, const QString&, const QString&, bool password,
                  const QString&) override {
    asked << "text";
    static const char* const answers[] = {"ann@example.com", "https://example.com/", "no address",
                                          ""};
    static const char* const passwords[] = {"secret", "abcd", "abc", ""};
    return QString::fromLatin1((password ? passwords : answers)[random_.bounded(4)]);
  }
  // The property dialogs get their controls worked at random, then OK or
  // Cancel; every other dialog is cancelled.
  int RunModal(QDialog& dialog) override {
    asked << dialog.objectName();
    if (onModal) return onModal(dialog);
    static const QStringList worked{"SetForm", "OptionsForm", "DBProps"};
    if (!worked.contains(dialog.objectName())) return 0;
    if (auto* tabs = dialog.findChild<QTabBar*>("MainTab"))
      tabs->setCurrentIndex(random_.bounded(tabs->count()));
    for (QWidget* control : dialog.findChildren<QWidget*>()) {
      if (!control->isVisibleTo(&dialog) || !control->isEnabled() || random_.bounded(3) != 0)
        continue;
      WorkControl(control);
    }
    dialog.findChild<QPushButton*>(random_.bounded(3) == 0 ? "CancelButt" : "OkButt")->click();
    return dialog.result();
  }
  std::optional<QColor> ChooseColor(QWidget*, const QColor&) override {
    asked << "colour";
    if (random_.bounded(3) == 0) return std::nullopt;
    return QColor::fromRgb(random_.generate() & 0xFFFFFF);
  }
  std::optional<QFont> ChooseFont(QWidget*, const QFont&) override {
    asked << "font";
    if (random_.bounded(3) == 0) return std::nullopt;
    return QFont(random_.bounded(2) ? "DejaVu Sans" : "DejaVu Serif", random_.bounded(6, 30),
                 QFont::Normal, random_.bounded(2));
  }
  // Set while a command drives the windows it opens (the print dialog).
  std::function<int(QDialog&)> onModal;
  bool PrinterSetup(QWidget*, QPrinter&) override { return false; }
  bool OpenUrl(const QUrl&) override { return random_.bounded(2) == 0; }
  MediaPlayer& Media() override { return media_; }
  void Fatal(const QString& message) override { qFatal("%s", qPrintable(message)); }

 private:
  void WorkControl(QWidget* control) {
    static const char* const typed[] = {
        "", "7", "30001", "abc", "-5", "99999", "Caf\u00e9", "\u2192", "Lines\nand more"};
    const QString text = QString::fromUtf8(typed[random_.bounded(9)]);
    static const QStringList closing{"OkButt", "CancelButt", "HelpButt"};
    if (auto* line = qobject_cast<QLineEdit*>(control)) {
      line->setText(text);
    } else if (auto* lines = qobject_cast<QPlainTextEdit*>(control)) {
      lines->setPlainText(text);
    } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
      check->click();
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
      combo->setCurrentIndex(random_.bounded(combo->count() + 1) - 1);
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
      if (!closing.contains(button->objectName())) button->click();
    } else if (auto* tree = qobject_cast<QTreeWidget*>(control)) {
      QList<QTreeWidgetItem*> items;
      for (QTreeWidgetItemIterator it(tree); *it; ++it) items << *it;
      if (items.isEmpty()) return;
      QTreeWidgetItem* item = items[random_.bounded(items.size())];
      item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
  }

  MessageAnswer Pick(std::initializer_list<MessageAnswer> answers) {
    return answers.begin()[random_.bounded(static_cast<int>(answers.size()))];
  }

  QRandomGenerator& random_;
  QString folder_;
  FakeMediaPlayer media_;
};

// Every node of the tree, top down.
inline QList<QTreeWidgetItem*> TreeItems(QTreeWidget& tree) {
  QList<QTreeWidgetItem*> items;
  for (int i = 0; i < tree.topLevelItemCount(); ++i) items << tree.topLevelItem(i);
  for (qsizetype n = 0; n < items.size(); ++n) {
    for (int i = 0; i < items[n]->childCount(); ++i) items << items[n]->child(i);
  }
  return items;
}

// The rules of the model and of what the window points at; empty when kept.
inline QString ModelProblems(App& app) {
  std::vector<ModelProblem> problems = FindModelProblems(app.db);
  for (const ModelProblem& p : FindDisplayProblems(app.db, app.state)) problems.push_back(p);
  QStringList found = DescribeProblems(problems);
  // Showing a record would change a choice past the end of its list.
  for (int r = 0; r < app.db.RecordCount; ++r) {
    const RecordData& record = app.db.Records[r];
    const FormDef& form = app.db.Forms[record.Form];
    for (int k = 0; k < form.ElementCount[kCombo]; ++k) {
      if (record.ComboValue[k] > 0 && record.ComboValue[k] >= ComboItems(form.ComboList[k]).size())
        found << QStringLiteral("record %1 chooses past the end of combo %2").arg(r).arg(k);
    }
  }
  return found.join("; ");
}

// Every node is where the model puts it, under its key, with its title;
// a loaded folder node lists exactly its sub-folders and records. Empty
// when the tree shows the model.
inline QString TreeDifference(App& app) {
  const Database& db = app.db;
  for (QTreeWidgetItem* item : TreeItems(app.Parts().Window().MainList())) {
    const QString key = FolderTree::KeyOf(item);
    const NodeKey parsed = ParseKey(key);
    if (parsed.kind.isEmpty()) continue;
    if (app.Parts().Tree().Node(key) != item) return key + " is not found under its key";
    const QString parentKey = FolderTree::KeyOf(item->parent());
    if (parsed.kind == u"item") {
      const int r = parsed.index;
      if (r >= db.RecordCount || db.Records[r].Folder == BufferFolder)
        return key + " shows no record";
      if (parentKey != FolderKey(db.Records[r].Folder)) return key + " is in the wrong folder";
      if (item->text(0) != ShortenName(RecordTitleLine(db, r), db.MaxListString))
        return key + " shows " + item->text(0) + " instead of " +
               ShortenName(RecordTitleLine(db, r), db.MaxListString);
      continue;
    }
    const int f = parsed.index;
    if (f >= db.FolderCount) return key + " shows no folder";
    if (item->text(0) != ShortenName(db.Folders[f].Name, db.MaxListString))
      return key + " shows " + item->text(0);
    const int parent = db.Folders[f].Parent;
    if (parent == TopLevelParent ? item->parent() != nullptr : parentKey != FolderKey(parent)) {
      return key + " is under the wrong parent";
    }
    if (!app.Parts().Tree().Loaded(f)) continue;
    QStringList expected;
    for (int sub : SubfoldersOf(db, f)) expected << FolderKey(sub);
    for (int r : RecordsOf(db, f)) expected << RecordKey(r);
    QStringList shown;
    for (int i = 0; i < item->childCount(); ++i) shown << FolderTree::KeyOf(item->child(i));
    if (shown != expected)
      return key + " lists " + shown.join(' ') + " instead of " + expected.join(' ');
  }
  return {};
}

// The contents list of the open folder shows only its records, with their
// titles; with the quick filter on, exactly its matches below the folder.
inline QString ListDifference(App& app) {
  if (app.state.CurRecord != -1 || app.state.EditMode != WorkMode::Database) return {};
  const Database& db = app.db;
  const QuickFilter& filter = app.Parts().Navigation().Filter();
  QListWidget& list = app.Parts().Window().ContentsList();
  std::vector<int> listed;
  for (int i = 0; i < list.count(); ++i) {
    const NodeKey key = ParseKey(list.item(i)->data(Qt::UserRole).toString());
    if (key.kind != u"item") continue;
    listed.push_back(key.index);
    if (key.index >= db.RecordCount ||
        (filter.text.isEmpty() && db.Records[key.index].Folder != app.state.CurFolder)) {
      return QStringLiteral("the list shows item%1 in folder %2")
          .arg(key.index)
          .arg(app.state.CurFolder);
    }
    if (list.item(i)->text() != ShortenName(RecordTitleLine(db, key.index), db.MaxListString))
      return QStringLiteral("the list shows item%1 as %2").arg(key.index).arg(list.item(i)->text());
  }
  if (!filter.text.isEmpty() && listed != QuickFilterMatches(db, app.state.CurFolder, filter))
    return QStringLiteral("the list filtered by '%1' shows other records").arg(filter.text);
  return {};
}

// The window's title and the status bar's counts say what the model holds.
inline QString TitleOrCountsDifference(App& app) {
  MainWindow& window = app.Parts().Window();
  const QString title = WindowTitle(app.db, app.state.EditMode, app.state.CurRecord, app.texts);
  if (window.windowTitle() != title) return "the title says " + window.windowTitle();
  const QString counts = window.StatusPanel("main").text();
  if (counts != StatusCountsText(app.db, app.texts)) return "the status bar says " + counts;
  return {};
}

// Where db differs from the file at path, read as the program reads it in
// db's own code page: "does not load: ..." or "differs in ...", else empty.
inline QString DifferenceFromFile(const Database& db, const QString& path) {
  CodePage codePage(db.CodePageName);
  const ReadOutcome read = ReadDatabaseFile(path, codePage, [&db] { return db.Password; });
  if (read.status != ReadOutcome::kLoaded) return "does not load: " + read.error;
  const QString difference = StoredDifference(db, read.db);
  return difference.isEmpty() ? QString() : "differs in " + difference;
}

// Where the open database differs from its file, which it claims to equal.
inline QString FileDifference(App& app) {
  const QString difference = DifferenceFromFile(app.db, app.db.DatabasePath);
  return difference.isEmpty() ? QString() : "the file of the unmodified database " + difference;
}

// The folder the random dialogs choose files in, with a picture to choose.
inline void PrepareFilesFolder(const TestInstall& install) {
  QDir().mkpath(install.Path("files"));
  QImage picture(12, 8, QImage::Format_RGB32);
  picture.fill(Qt::green);
  picture.save(install.Path("files/picture.png"));
}

// How long a random run is: the positive count the environment variable
// gives, else the run make test makes.
inline int RunLength(const char* variable, int fallback) {
  bool ok = false;
  const int requested = qEnvironmentVariableIntValue(variable, &ok);
  return ok && requested > 0 ? requested : fallback;
}

// The offscreen platform's notes on every window change, and the help
// window's on the help file a test install lacks, would bury the result.
inline void KeepPlatformQuiet() {
  static QtMessageHandler standard = nullptr;
  standard = qInstallMessageHandler(
      [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (!message.startsWith(QLatin1String("This plugin does not support")) &&
            !message.startsWith(QLatin1String("QTextBrowser: No document"))) {
          standard(type, context, message);
        }
      });
}

// One program run driven at random from a seed: its own install, dialogs
// answered at random, the first broken rule kept, and the latest steps that
// led there.
class RandomSession {
 protected:
  // Started with that file of the install, or with none.
  RandomSession(quint32 seed, const char* startFile, std::size_t logLength)
      : seed_(seed),
        random_(seed),
        dialogs_(random_, install_.Path("files")),
        app_(install_.Path(), install_.SettingsPath(), dialogs_),
        logLength_(logLength) {
    PrepareFilesFolder(install_);
    app_.Main(startFile ? install_.Path(startFile) : QString());
    app_.onBrokenInvariants = [this](const QStringList& problems) { Fail(problems.join("; ")); };
  }

  // The example, whose forms hold every kind of element, copied to the
  // files folder and open.
  void LoadTheExample() {
    const QString example = install_.Path("files/example.2db");
    install_.Copy(install_.Path("data/examples/ex1.2db"), "files/example.2db");
    dialogs_.savedPaths << example;
    LoadDatabase(app_.db, example, app_.Storage());
  }

  void Fail(const QString& what) {
    if (failure_.isEmpty()) failure_ = what;
  }

  void Log(const QString& step) {
    log_.push_back(step);
    if (log_.size() > logLength_) log_.pop_front();
  }

  // Empty when every step kept every rule; else the seed, how many steps
  // were done, what broke and the steps before.
  QString Outcome(const char* step, const QString& separator) const {
    if (failure_.isEmpty()) return {};
    QStringList recent(log_.begin(), log_.end());
    return QStringLiteral("seed %1, %2 %3: %4\n  after: %5")
        .arg(seed_)
        .arg(QLatin1String(step))
        .arg(done_)
        .arg(failure_, recent.join(separator));
  }

  MainWindow& window() { return app_.Parts().Window(); }

  QPoint RandomPointIn(const QWidget& widget) {
    return {random_.bounded(std::max(widget.width(), 1)),
            random_.bounded(std::max(widget.height(), 1))};
  }

  quint32 seed_;
  QRandomGenerator random_;
  TestInstall install_;
  RandomDialogs dialogs_;
  App app_;
  QString failure_;
  int done_ = 0;

 private:
  std::size_t logLength_;
  std::deque<QString> log_;
};

}  // namespace orbo::test
