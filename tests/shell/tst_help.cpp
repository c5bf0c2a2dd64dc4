// The manual in each language: every page of the contents is there with a
// title, every link and picture a page names is there, the search keeps the
// pages holding every word, and every dialog's Help opens its own page.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QtTest>

#include "../test_files.h"
#include "../test_install.h"
#include "app/app.h"
#include "app/main_window.h"
#include "shell/help_pages.h"
#include "shell/help_window.h"
#include "shell/intro_dialog.h"

using namespace orbo;

namespace {

QString HelpRoot() { return QStringLiteral(ORBO_BIN_DIR "/help"); }

// What a page's attribute names, in order: attribute "href" or "src".
QStringList Named(const QString& html, const QString& attribute) {
  QStringList names;
  const QRegularExpression named(attribute + QStringLiteral("=\"([^\"#]*)[^\"]*\""));
  for (const QRegularExpressionMatch& match : named.globalMatch(html)) names << match.captured(1);
  return names;
}

HelpWindow* ShownHelp() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* help = qobject_cast<HelpWindow*>(widget); help && help->isVisible()) return help;
  }
  return nullptr;
}

}  // namespace

class HelpTest : public QObject {
  Q_OBJECT

 private slots:
  void everyPageIsThereWithWhatItNames_data() {
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "en";
    QTest::newRow("Russian") << "ru";
  }
  void everyPageIsThereWithWhatItNames() {
    QFETCH(QString, language);
    const QDir folder(HelpRoot() + u'/' + language);
    const QDir english(HelpRoot() + QStringLiteral("/en"));
    QSet<QString> titles;
    for (const HelpPage& page : HelpPages()) {
      const QString file = QString::fromLatin1(page.file);
      const QString html = QString::fromUtf8(ReadBytes(folder.filePath(file)));
      QVERIFY2(!html.isEmpty(), qPrintable(file));
      const QString title = HelpPageTitle(html);
      QVERIFY2(!title.isEmpty() && !titles.contains(title), qPrintable(file));
      titles << title;
      for (const QString& link : Named(html, QStringLiteral("href"))) {
        if (!link.isEmpty()) QVERIFY2(folder.exists(link), qPrintable(file + ": " + link));
      }
      const QStringList pictures = Named(html, QStringLiteral("src"));
#ifdef ORBO_HELP_PICTURES
      for (const QString& picture : pictures)
        QVERIFY2(folder.exists(picture), qPrintable(file + ": " + picture));
#endif
      // A translation links and shows what the English page does.
      const QString original = QString::fromUtf8(ReadBytes(english.filePath(file)));
      QCOMPARE(Named(html, QStringLiteral("href")), Named(original, QStringLiteral("href")));
      QCOMPARE(pictures, Named(original, QStringLiteral("src")));
    }
    QCOMPARE(folder.entryList({"*.html"}).size(), qsizetype(HelpPages().size()));
  }

  void theSearchKeepsThePagesHoldingEveryWord() {
    const QString html = QStringLiteral(
        "<html><head><title>Get back an &quot;older&quot; version</title></head>"
        "<body><h1>Backups</h1><p>Every <b>save</b> keeps the version it "
        "replaces.</p></body></html>");
    QCOMPARE(HelpPageTitle(html), QString("Get back an \"older\" version"));
    const QString words = HelpPageWords(html);
    QVERIFY(!words.contains(u'<'));
    QVERIFY(HelpPageHolds(words, ""));
    QVERIFY(HelpPageHolds(words, "  SAVE   replaces "));
    QVERIFY(!HelpPageHolds(words, "save crash"));
    QVERIFY(!HelpPageHolds(words, "title"));  // the markup's words are none of the page's
    QCOMPARE(HelpPageFile(help_topics::kFind), QString("find.html"));
    QCOMPARE(HelpPageFile(help_topics::kNone), QString("index.html"));
    QCOMPARE(HelpPageFile(12345), QString("index.html"));
    QCOMPARE(HelpFolder(HelpRoot(), "ru"), HelpRoot() + "/ru");
    for (const char* none : {"de", "", "../ru", "."})
      QCOMPARE(HelpFolder(HelpRoot(), none), HelpRoot() + "/en");
  }

  // Each dialog's Help button, the start dialog's too, and the window's
  // help commands open their own page of the interface language's manual,
  // and the contents mark it.
  void everyDialogsHelpOpensItsPage_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "english.txt"
                             << "en";
    QTest::newRow("Russian") << "russian.txt"
                             << "ru";
  }
  void everyDialogsHelpOpensItsPage() {
    QFETCH(QString, file);
    QFETCH(QString, language);
    TestInstall install;
    install.Write("Texts/current.dat", file.toUtf8() + "\r\n");
    QVERIFY(QFile::link(HelpRoot(), install.Path("help")));
    FakeDialogs dialogs;
    dialogs.onModal = [](QDialog& dialog) {
      dialog.show();
      if (auto* help = dialog.findChild<QPushButton*>("HelpButt")) help->click();
      dialog.hide();
      return int(QDialog::Rejected);
    };
    App app(install.Path(), install.SettingsPath(), dialogs);
    QVERIFY(app.Main(QString()));
    MainCommands& commands = app.Parts().Window().Commands();
    const auto opens = [&](const std::function<void()>& ask, const QString& page) {
      if (HelpWindow* open = ShownHelp()) open->hide();
      ask();
      HelpWindow* help = ShownHelp();
      QVERIFY2(help, qPrintable(page));
      QCOMPARE(help->ShownPage(), page);
      QVERIFY(help->findChild<QTextBrowser*>()->source().toLocalFile().contains("/help/" +
                                                                                language + "/"));
      const QListWidget* contents = help->findChild<QListWidget*>("HelpContents");
      QCOMPARE(contents->currentItem()->data(Qt::UserRole).toString(), page);
    };
    opens([&] { app.ShowIntro(IntroDialog::kStartChoices); }, "start.html");
    for (const auto& [command, page] : std::initializer_list<std::pair<const char*, const char*>>{
             {"mnuFind", "find.html"},
             {"mnuSort", "sort.html"},
             {"mnuPrint", "print.html"},
             {"mnuImAccess", "exchange.html"},
             {"mnuDBProps", "password.html"},
             {"mnuPref", "options.html"},
             {"mnuHelp2", "window.html"}})
      opens([&] { commands.Menu(command)->trigger(); }, page);
    opens([&] { commands.Tool(kEditBar, "help")->trigger(); }, "design.html");
    // Typed words keep the pages that hold them; Return opens the first.
    HelpWindow* help = ShownHelp();
    auto* search = help->findChild<QLineEdit*>("HelpSearch");
    const QListWidget* contents = help->findChild<QListWidget*>("HelpContents");
    QTest::keyClicks(search, "Ctrl+Shift+M");
    QStringList kept;
    for (int i = 0; i < contents->count(); ++i) {
      if (!contents->item(i)->isHidden()) kept << contents->item(i)->data(Qt::UserRole).toString();
    }
    QCOMPARE(kept, (QStringList{"window.html", "keyboard.html"}));
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(help->ShownPage(), QString("window.html"));
    // A link followed marks its own page, not the one it was followed from.
    auto* browser = help->findChild<QTextBrowser*>();
    browser->setSource(browser->source().resolved(QUrl("keyboard.html")));
    QCOMPARE(help->ShownPage(), QString("keyboard.html"));
    QCOMPARE(contents->currentItem()->data(Qt::UserRole).toString(), QString("keyboard.html"));
    QCOMPARE(dialogs.messages, QStringList());
  }
};

QTEST_MAIN(HelpTest)
#include "tst_help.moc"
