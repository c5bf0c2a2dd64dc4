// What the random tests of the main window share: dialogs answered at
// random, the offscreen platform kept quiet, and the checks of the window
// against the model and of the model against its file. ORBO_LOG_LIVE=1
// prints each step as it runs, so a crash still shows the steps before it.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTabBar>
#include <QTreeWidget>
#include <algorithm>

#include "../shell/tree_check.h"
#include "../test_install.h"
#include "app/app.h"
#include "app/main_window.h"
#include "query/print/print_dialog.h"
#include "query/table/folder_table.h"
#include "sample_databases.h"
#include "shell/contents_model.h"
#include "shell/dialogs.h"
#include "shell/file_commands.h"
#include "shell/folder_tree_model.h"
#include "shell/folder_tree_view.h"
#include "shell/navigator.h"
#include "shell/node_keys.h"
#include "shell/record_table_model.h"
#include "shell/window_texts.h"
#include "storage/code_page.h"
#include "storage/database_file.h"
#include "storage/element_values.h"
#include "storage/model_invariants.h"
#include "storage/navigation_logic.h"
#include "storage/quick_filter.h"
#include "storage/record_table.h"
#include "storage/record_title.h"
#include "storage/stored_content.h"

namespace orbo::test {

// Every node of the tree, top down.
inline QList<QTreeWidgetItem*> TreeItems(QTreeWidget& tree) {
  QList<QTreeWidgetItem*> items;
  for (QTreeWidgetItemIterator it(&tree); *it; ++it) items << *it;
  return items;
}

// Answers every question at random; saves go to a handful of files.
class RandomDialogs : public orbo::Dialogs {
 public:
  RandomDialogs(QRandomGenerator& random, QString folder)
      : random_(random), folder_(std::move(folder)) {}

  QStringList savedPaths;
  std::function<void()> duringQuestion;
  // What was asked, one word each ("yes", "no", "cancel" for the
  // questions; "file", "folder", "text", a dialog's name, "colour", "font"
  // for the rest), for tests that judge what an event may change.
  QStringList asked;

  MessageAnswer ShowMessage(QWidget*, const QString&, MessageStyle style) override {
    if (duringQuestion) std::exchange(duringQuestion, nullptr)();
    switch (style.buttons) {
      case MessageStyle::Buttons::YesNoCancel:
        return Pick({kAnswerYes, kAnswerNo, kAnswerCancel});
      case MessageStyle::Buttons::YesNo:
        return Pick({kAnswerYes, kAnswerYes, kAnswerNo});
      case MessageStyle::Buttons::Ok:
        break;
    }
    return kAnswerOk;
  }
  // A saved database, a picture, or nothing; for a table, the last Access
  // or CSV export, or a file that is neither.
  QString OpenFileName(QWidget*, const QString&, const QString& filter, const QString&) override {
    asked << "file";
    if (filter.contains(QLatin1String("*.mdb"))) {
      const QStringList tables = QDir(folder_).entryList({"*.csv"}, QDir::Files) +
                                 QStringList{"export.mdb", "export.mdb", "picture.png"};
      return folder_ + u'/' + tables[random_.bounded(tables.size())];
    }
    const QStringList offered = savedPaths + QStringList{folder_ + "/picture.png"};
    if (random_.bounded(8) == 0) return {};
    return offered[random_.bounded(offered.size())];
  }
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
    static const QStringList answers{"ann@example.com", "https://example.com/", "no address", ""};
    static const QStringList passwords{"secret", "abcd", "abc", ""};
    return (password ? passwords : answers)[random_.bounded(4)];
  }
  // The dialogs named get their controls worked at random; every other
  // dialog is cancelled.
  QStringList worked{"SetForm", "OptionsForm", "DBProps"};
  int RunModal(QDialog& dialog) override {
    asked << dialog.objectName();
    return worked.contains(dialog.objectName()) ? Work(dialog) : 0;
  }
  // Controls worked at random in a few passes, as one control may show the
  // next (a file chosen shows its tables), then OK or now and then Cancel,
  // unless a control closed the dialog.
  int Work(QDialog& dialog) {
    // Never a real printer: without a file named, the pages go to a PDF.
    if (auto* print = dynamic_cast<PrintDialog*>(&dialog))
      print->Printer().setOutputFormat(QPrinter::PdfFormat);
    bool closed = false;
    QObject watching;
    QObject::connect(&dialog, &QDialog::finished, &watching, [&closed] { closed = true; });
    if (auto* tabs = dialog.findChild<QTabBar*>("MainTab"))
      tabs->setCurrentIndex(random_.bounded(tabs->count()));
    for (int pass = random_.bounded(1, 5); pass > 0 && !closed; --pass) {
      for (QWidget* control : dialog.findChildren<QWidget*>()) {
        if (closed) break;
        if (!control->isVisibleTo(&dialog) || !control->isEnabled() || random_.bounded(3) != 0)
          continue;
        WorkControl(control);
      }
    }
    const char* close = random_.bounded(3) == 0 ? "CancelButt" : "OkButt";
    if (auto* button = dialog.findChild<QPushButton*>(close); button && !closed) button->click();
    return dialog.result();
  }
  // One control used as the user may: text typed, an entry chosen, a button
  // pressed, a picture clicked or dragged.
  void WorkControl(QWidget* control) {
    static const char* const typed[] = {
        "", "1", "a", "7", "30001", "abc", "-5", "99999", "Caf\u00e9", "\u2192", "Lines\nand more"};
    const QString text = QString::fromUtf8(typed[random_.bounded(int(std::size(typed)))]);
    static const QStringList closing{"OkButt", "CancelButt", "HelpButt"};
    if (auto* line = qobject_cast<QLineEdit*>(control)) {
      // As typed: what follows the user's edits hears it.
      line->setText(text);
      emit line->textEdited(text);
    } else if (auto* lines = qobject_cast<QPlainTextEdit*>(control)) {
      lines->setPlainText(text);
    } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
      spin->setValue(spin->minimum() + random_.bounded(3));
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
      // A record's list may also be left with no entry chosen.
      const int first = combo->property("elementType").isValid() ? -1 : 0;
      if (combo->count() - first <= 0) return;
      const int entry = first + random_.bounded(combo->count() - first);
      combo->setCurrentIndex(entry);
      if (entry >= 0) emit combo->activated(entry);
    } else if (auto* list = qobject_cast<QListWidget*>(control)) {
      if (list->count() > 0) list->setCurrentRow(random_.bounded(list->count()));
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
      if (!closing.contains(button->objectName())) button->click();
    } else if (auto* tree = qobject_cast<QTreeWidget*>(control)) {
      const QList<QTreeWidgetItem*> items = TreeItems(*tree);
      if (items.isEmpty()) return;
      QTreeWidgetItem* item = items[random_.bounded(items.size())];
      // A tree of check boxes is ticked, any other one chosen from.
      if (item->data(0, Qt::CheckStateRole).isValid()) {
        item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
      } else {
        tree->setCurrentItem(item);
      }
    } else if (auto* picture = qobject_cast<QLabel*>(control);
               picture && !picture->pixmap().isNull()) {
      const QPoint from(random_.bounded(std::max(picture->width(), 1)),
                        random_.bounded(std::max(picture->height(), 1)));
      if (random_.bounded(3) == 0) {
        QTest::mouseDClick(picture, Qt::LeftButton, {}, from);
      } else {
        Drag(picture, from, from + QPoint(random_.bounded(-120, 121), random_.bounded(-120, 121)));
      }
    }
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
  bool PrinterSetup(QWidget*, QPrinter&) override { return false; }
  bool OpenUrl(const QUrl&) override { return random_.bounded(2) == 0; }
  MediaPlayer& Media() override { return media_; }
  void Fatal(const QString& message) override { qFatal("%s", qPrintable(message)); }

 private:
  MessageAnswer Pick(std::initializer_list<MessageAnswer> answers) {
    const MessageAnswer answer = answers.begin()[random_.bounded(int(answers.size()))];
    asked << (answer == kAnswerYes ? "yes" : answer == kAnswerNo ? "no" : "cancel");
    return answer;
  }

  QRandomGenerator& random_;
  QString folder_;
  FakeMediaPlayer media_;
};

// The rules of the model and of what the window points at; empty when kept.
inline QString ModelProblems(App& app) {
  const QStringList found = DescribeProblems(FindModelProblems(app.db)) +
                            DescribeProblems(FindDisplayProblems(app.db, app.state));
  return found.join("; ");
}

inline QString TreeDifference(App& app) { return TreeDifference(app.db, app.Parts().Tree()); }

// The rows a user can reach in a tree view: the top level and the rows of
// every folder opened.
inline QList<QModelIndex> ReachableRows(const QTreeView& view) {
  QList<QModelIndex> rows;
  const QAbstractItemModel& model = *view.model();
  std::vector<QModelIndex> pending{QModelIndex()};
  while (!pending.empty()) {
    const QModelIndex parent = pending.back();
    pending.pop_back();
    if (parent.isValid() && !view.isExpanded(parent)) continue;
    for (int row = 0; row < model.rowCount(parent); ++row) {
      rows << model.index(row, 0, parent);
      pending.push_back(rows.back());
    }
  }
  return rows;
}

// The window shows the contents list with a folder and the form with a
// record; the list of the open folder shows exactly its records, with their
// titles; with the quick filter on, exactly its matches below the folder.
inline QString ListDifference(App& app) {
  if (app.state.EditMode != WorkMode::Database) return {};
  // The list shows with a folder, the record's form with a record.
  MainWindow& window = app.Parts().Window();
  if (window.CanvasPage().isVisibleTo(&window) != (app.state.CurRecord != -1))
    return QStringLiteral("the window shows the other page");
  if (app.state.CurRecord != -1) return {};
  const Database& db = app.db;
  const QuickFilter& filter = app.Parts().Navigation().Filter();
  const QAbstractItemModel& list = *app.Parts().Window().ContentsList().model();
  std::vector<int> listed;
  for (int i = 0; i < list.rowCount(); ++i) {
    const QModelIndex row = list.index(i, 0);
    const NodeKey key = ParseKey(row.data(ContentsModel::kKeyRole).toString());
    if (key.kind != u"item") continue;
    listed.push_back(key.index);
    if (key.index >= db.RecordCount) return QStringLiteral("the list shows item%1").arg(key.index);
    const QString text = row.data().toString();
    if (text != ShortenName(RecordTitleLine(db, key.index), db.MaxListString))
      return QStringLiteral("the list shows item%1 as %2").arg(key.index).arg(text);
    if (row.data(Qt::FontRole).value<QFont>().bold() != db.RecordMarks[key.index])
      return QStringLiteral("the list shows item%1's mark wrong").arg(key.index);
  }
  const int folder = app.state.CurFolder;
  if (listed !=
      (filter.text.isEmpty() ? RecordsOf(db, folder) : QuickFilterMatches(db, folder, filter)))
    return "the list filtered by '" + filter.text + "' shows other records";
  return {};
}

// The table holds the records of its form among those the list shows, in
// their stored order unless a column orders them, each by its cells.
inline QString TableDifference(App& app) {
  if (app.state.EditMode != WorkMode::Database || app.state.CurRecord != -1) return {};
  const Database& db = app.db;
  const ContentsModel& contents = app.Parts().Navigation().Contents();
  const RecordTableModel& table = app.Parts().Table().Model();
  const std::vector<FormShare> forms = FormsAmong(db, contents.Records());
  if (table.Forms() != forms) return QStringLiteral("the table offers other forms");
  if (table.Form() < 0)
    return forms.empty() ? QString() : QStringLiteral("the table shows no form");
  std::vector<int> wanted = RecordsWithForm(db, contents.Records(), table.Form());
  std::vector<int> rows = table.Rows();
  if (table.SortColumn() < 0 && rows != wanted)
    return QStringLiteral("the table shows other records");
  std::sort(rows.begin(), rows.end());
  if (rows != wanted) return QStringLiteral("the table shows other records in its order");
  const std::vector<ElementRef> columns = TableColumns(db.Forms[table.Form()]);
  if (table.columnCount() != static_cast<int>(columns.size()))
    return QStringLiteral("the table shows other columns");
  for (int row = 0; row < std::min(table.rowCount(), 40); ++row) {
    const int record = table.Rows()[row];
    for (int column = 0; column < table.columnCount(); ++column) {
      const QModelIndex cell = table.index(row, column);
      const ElementRef& element = columns[column];
      const bool shown = element.type == kFlag
                             ? (cell.data(Qt::CheckStateRole).toInt() == Qt::Checked) ==
                                   db.Records[record].FlagValue[element.slot]
                             : cell.data().toString() == CellText(db, record, element);
      if (!shown) return QStringLiteral("the table shows item%1 wrong").arg(record);
    }
  }
  return {};
}

// The window's title and the status bar's counts say what the model holds.
inline QString TitleOrCountsDifference(App& app) {
  MainWindow& window = app.Parts().Window();
  const QString title = WindowTitle(app.db, app.state.EditMode, app.state.CurRecord, app.texts);
  if (window.windowTitle() != title) return "the title says " + window.windowTitle();
  // The counts, and after them the note on a file another program changed.
  const QString counts = window.StatusPanel("main").text();
  const QString expected = StatusCountsText(app.db, app.texts);
  const QStringList notes{QString(), app.texts.Get(985, 12), app.texts.Get(986, 21)};
  const bool noted = std::any_of(notes.begin(), notes.end(), [&](const QString& note) {
    return counts == (note.isEmpty() ? expected : expected + QStringLiteral("    ") + note);
  });
  if (!noted) return "the status bar says " + counts;
  return {};
}

// Where db differs from the file at path, read as the program reads it in
// db's own code page: "does not load: ..." or "differs in ...", else empty.
inline QString DifferenceFromFile(const Database& db, const QString& path) {
  CodePage codePage(db.CodePageName);
  const ReadOutcome read = ReadDatabaseFile(path, codePage, db.Password);
  if (read.status != ReadOutcome::kLoaded) return "does not load: " + read.error;
  const QString difference = StoredDifference(db, read.db);
  return difference.isEmpty() ? QString() : "differs in " + difference;
}

// The rules every step keeps: the model's and what the window points at,
// the tree showing the model, and an unmodified database equal to its file.
// Empty when kept.
inline QString WindowProblems(App& app) {
  QString problem = ModelProblems(app);
  if (problem.isEmpty()) problem = TreeDifference(app);
  if (!problem.isEmpty() || app.db.Modified || app.db.DatabasePath == u"noname") return problem;
  const QString difference = DifferenceFromFile(app.db, app.db.DatabasePath);
  return difference.isEmpty() ? QString() : "the file of the unmodified database " + difference;
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
 public:
  int Done() const { return done_; }

 protected:
  // Started with that file of the install, or with none.
  RandomSession(quint32 seed, const char* startFile, int logLength)
      : seed_(seed),
        random_(seed),
        dialogs_(random_, install_.Path("files")),
        app_(install_.Path(), install_.SettingsPath(), dialogs_),
        logLength_(logLength) {
    // In every build, not only where the program itself stops on it.
    app_.Funnel().onScopeBreach = [this](const QString& breach) {
      Fail(QStringLiteral("a change reached outside its undo scope: ") + breach);
    };
    // The folder the random dialogs choose files in, with a picture to choose.
    QDir().mkpath(install_.Path("files"));
    QImage picture(12, 8, QImage::Format_RGB32);
    picture.fill(Qt::green);
    picture.save(install_.Path("files/picture.png"));
    // A table to import from the start, with a folder column that names
    // folders to make and values a spreadsheet would run.
    QFile rows(install_.Path("files/rows.csv"));
    if (rows.open(QIODevice::WriteOnly))
      rows.write(
          "Root,Title,Note\r\nImported\\Sub,a,b\r\nImported,'=1+1,\"two\r\nlines\"\r\n,,c\r\n");
    app_.Main(startFile ? install_.Path(startFile) : QString());
    app_.onBrokenInvariants = [this](const QStringList& problems) { Fail(problems.join("; ")); };
    app_.Funnel().onScopeBreach = [this](const QString& breach) {
      Fail("a change reached outside its undo scope: " + breach);
    };
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
    log_ << step;
    if (qEnvironmentVariableIsSet("ORBO_LOG_LIVE")) qDebug().noquote() << step;
    if (log_.size() > logLength_) log_.removeFirst();
  }

  // Empty when every step kept every rule; else the seed, how many steps
  // were done, what broke and the steps before.
  QString Outcome() const {
    if (failure_.isEmpty()) return {};
    return QStringLiteral("seed %1, step %2: %3\n  after: %4")
        .arg(QString::number(seed_), QString::number(done_), failure_, log_.join("\n    "));
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
  int logLength_;
  QStringList log_;
};

// Program runs from firstSeed on, each of at most perSession steps, until
// the variable's count of steps (else fallback) is done; the first failure
// fails the test.
template <typename Session>
void RunSessions(const char* variable, int fallback, int perSession, quint32 firstSeed) {
  KeepPlatformQuiet();
  const int requested = qEnvironmentVariableIntValue(variable);
  const int steps = requested > 0 ? requested : fallback;
  for (int done = 0; done < steps; ++firstSeed) {
    Session session(firstSeed);
    const QString failure = session.Run(std::min(perSession, steps - done));
    // A session the user ends early counts as one step.
    done += std::max(session.Done(), 1);
    // Past the test's limit on warnings, only this stays.
    if (!failure.isEmpty()) fprintf(stderr, "%s\n", qPrintable(failure));
    QVERIFY2(failure.isEmpty(), "a step broke a rule");
  }
}

}  // namespace orbo::test
