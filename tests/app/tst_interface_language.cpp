// In the Russian interface every word the program itself shows is Russian:
// menus, toolbars, the window's own labels, every dialog a command opens and
// every message. Words in Latin letters are named here one by one (the
// product, formats, key names, the licences); a fixed English word in the
// code shows up as one that is not.
#include <QAbstractButton>
#include <QAction>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTabBar>
#include <QtTest>

#include "../test_install.h"
#include "../window_actions.h"
#include "app/app.h"
#include "app/main_window.h"
#include "forms/designer/mode_switch.h"
#include "shell/intro_dialog.h"
#include "shell/language_texts.h"
#include "shell/new_names.h"

using namespace orbo;

namespace {

// Latin words the Russian interface shows as they are.
const QSet<QString> kKeptWords{
    "Corvane", "Database", "MS", "Access", "CSV", "UTF", "windows", "db", "mdb", "accdb", "csv",
    "txt", "pdf", "PDF", "ID", "Ctrl", "Shift", "Alt", "Del", "Tab", "Esc", "PgUp", "PgDown",
    "Home", "End", "Return", "Enter", "Up", "Down", "Left", "Right", "Space", "Ins", "Backspace",
    "Menu", "Silk", "Mark", "James", "famfamfam", "com", "Creative", "Commons", "Attribution",
    "Tango", "Desktop", "Project", "Qt", "LGPL", "libsodium", "ISC", "libcsv", "mdbtools", "JSON",
    "for", "Modern", "MIT", "Argon", "id", "XChaCha", "Poly", "Root", "png", "jpg", "jpeg", "bmp",
    "gif", "svg", "ico", "wav", "mp", "avi", "mpg",
    // The Language menu names each language in its own words.
    "English",
    // The title's and the messages' name for a database never saved.
    "noname"};

// What widgets of the program say, leaving out what the database holds:
// the record's own controls, the tree and the lists.
void AddWidgetWords(QWidget& root, QStringList& said) {
  const auto add = [&said](const QString& text) {
    if (!text.isEmpty()) said << text;
  };
  add(root.windowTitle());
  for (QLabel* label : root.findChildren<QLabel*>()) {
    if (label->property("elementType").isValid()) continue;
    add(label->text());
  }
  for (QAbstractButton* button : root.findChildren<QAbstractButton*>()) {
    if (button->property("elementType").isValid()) continue;
    add(button->text());
    add(button->toolTip());
  }
  for (QGroupBox* box : root.findChildren<QGroupBox*>()) add(box->title());
  for (QLineEdit* line : root.findChildren<QLineEdit*>()) add(line->placeholderText());
  for (QTabBar* tabs : root.findChildren<QTabBar*>()) {
    for (int i = 0; i < tabs->count(); ++i) add(tabs->tabText(i));
  }
}

// The Latin words of texts that are not kept, each with its text.
QStringList ForeignWords(const QStringList& texts) {
  static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
  // Paths and names of files are the user's, font names the system's.
  static const QRegularExpression path(QStringLiteral("\\S*[/\\\\]\\S*"));
  const QStringList fonts = QFontDatabase::families();
  QStringList foreign;
  for (const QString& text : texts) {
    QString plain = text;
    plain.remove(path).remove(u'&');
    for (const QString& font : fonts) plain.remove(font);
    for (const QRegularExpressionMatch& match : word.globalMatch(plain)) {
      if (!kKeptWords.contains(match.captured()))
        foreign << match.captured() + " in: " + text.left(80);
    }
  }
  foreign.removeDuplicates();
  return foreign;
}

}  // namespace

class InterfaceLanguageTest : public QObject {
  Q_OBJECT

 private slots:
  void theRussianInterfaceShowsNoEnglish() {
    TestInstall install;
    install.Write("Texts/current.dat", "russian.txt\r\n");
    FakeDialogs dialogs;
    QStringList said;
    dialogs.onModal = [&said](QDialog& dialog) {
      dialog.show();
      AddWidgetWords(dialog, said);
      dialog.hide();
      return int(QDialog::Rejected);
    };
    App app(install.Path(), install.SettingsPath(), dialogs);
    QVERIFY(app.Main(QString()));
    MainWindow& window = app.Parts().Window();
    window.show();
    FillEveryMenu(window);
    for (QAction* action : WindowActions(window)) {
      said << action->text() << action->toolTip();
      if (action->menu()) said << action->menu()->title();
    }
    AddWidgetWords(window, said);
    app.ShowIntro(IntroDialog::kStartChoices);
    app.ShowIntro(IntroDialog::kAbout);
    for (const char* command : {"mnuFind", "mnuSort", "mnuPrint", "mnuImAccess", "mnuExAccess",
                                "mnuExCsv", "mnuDBProps", "mnuPref", "mnuRestore", "mnuMoveTo"})
      window.Commands().Menu(command)->trigger();
    app.Parts().Modes().ToEditMode();
    AddWidgetWords(window, said);
    window.Commands().Tool(kEditBar, "elprops")->trigger();
    said << dialogs.messages;
    // Every dialog above opened: the start dialog, About, ten commands and
    // the element's properties.
    QCOMPARE(dialogs.modalCount, 13);
    const QStringList foreign = ForeignWords(said);
    QVERIFY2(foreign.isEmpty(), qPrintable(foreign.join(u'\n')));
  }

  // New forms and elements are named in the interface's language where the
  // database's code page holds the names, else as built in.
  void newNamesSpeakTheLanguageTheFileHolds() {
    LanguageTexts russian;
    QVERIFY(russian.Load(QStringLiteral(ORBO_SOURCE_DIR "/resources/Texts/russian.txt")));
    const NewNames cyrillic = NewNamesIn(russian, "windows-1251");
    QCOMPARE(cyrillic.form.arg(3), QString::fromUtf8("Форма 3"));
    QCOMPARE(cyrillic.elements[kMultiline].arg(0), QString::fromUtf8("Многострочный текст 0"));
    QCOMPARE(cyrillic.elements[kImage].arg(15), QString::fromUtf8("Рисунок 15"));
    const NewNames builtIn;
    const NewNames latin = NewNamesIn(russian, "windows-1252");
    QCOMPARE(latin.form, builtIn.form);
    QCOMPARE(latin.elements, builtIn.elements);
    // A name without its number would name every element alike.
    LanguageTexts numberless;
    QVERIFY(numberless.LoadLines({"01002  Form", "       Bild %1"}));
    const NewNames taken = NewNamesIn(numberless, "windows-1252");
    QCOMPARE(taken.form, builtIn.form);
    QCOMPARE(taken.elements[kImage], QString("Bild %1"));
    QCOMPARE(taken.elements[kLabel], builtIn.elements[kLabel]);
  }
};

QTEST_MAIN(InterfaceLanguageTest)
#include "tst_interface_language.moc"
