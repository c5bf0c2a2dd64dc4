// The language file rules, and the shipped language files against the index
// of every text the program uses.
#include <QDir>
#include <QFile>
#include <QtTest>

#include "shell/language_texts.h"

using orbo::LanguageTexts;

class LanguageTextsTest : public QObject {
  Q_OBJECT

 private slots:
  void lineRules() {
    LanguageTexts texts;
    QVERIFY(texts.LoadLines({
        "Deutsch",  // the menu caption is group 0, entry 0
        "[ a comment ]",
        "00020  File",
        "       Open",
        "abc",  // too short: takes no position
        "       Save",
        "  007  Seven?",  // starts with a space: an entry of group 20
        "0030   Thirty",
        "30x    Also thirty",
        "       entry one",
    }));
    QCOMPARE(texts.Get(20, 0), QString("File"));
    QCOMPARE(texts.Get(20, 2), QString("Save"));
    QCOMPARE(texts.Get(20, 3), QString("Seven?"));
    QCOMPARE(texts.Get(0, 0), QString(""));
    QCOMPARE(texts.Get(30, 0), QString("Also thirty"));
    QCOMPARE(texts.Get(30, 1), QString("entry one"));

    LanguageTexts headless;  // entries before any group number belong to group 0
    QVERIFY(headless.LoadLines({"       first", "Header text"}));
    QCOMPARE(headless.Get(0, 0), QString("text"));  // from the 8th character on
    QCOMPARE(headless.Get(0, 1), QString());
  }

  // The form follows the number as each language counts.
  void countsChooseTheirForm() {
    LanguageTexts texts;
    QVERIFY(texts.LoadLines(
        {"00040  %1 file|%1 files", "       %1 файл|%1 файла|%1 файлов", "       %1 x"}));
    const std::pair<qint64, const char*> english[] = {
        {0, "0 files"}, {1, "1 file"}, {2, "2 files"}, {21, "21 files"}};
    for (const auto& [n, text] : english) QCOMPARE(texts.Count({40, 0}, n), QString(text));
    const std::pair<qint64, const char*> russian[] = {
        {0, "0 файлов"},      {1, "1 файл"},     {2, "2 файла"},      {4, "4 файла"},
        {5, "5 файлов"},      {11, "11 файлов"}, {12, "12 файлов"},   {14, "14 файлов"},
        {21, "21 файл"},      {22, "22 файла"},  {111, "111 файлов"}, {101, "101 файл"},
        {1000, "1000 файлов"}};
    for (const auto& [n, text] : russian)
      QCOMPARE(texts.Count({40, 1}, n), QString::fromUtf8(text));
    QCOMPARE(texts.Count({40, 2}, 7), QString("7 x"));
  }

  void limitsEndTheLoadButKeepTheTexts() {
    LanguageTexts texts;
    const QString tooHigh =
        QStringLiteral("%1  too high").arg(LanguageTexts::kGroupCount, 5, 10, QChar(u'0'));
    QVERIFY(!texts.LoadLines({"00005  five", tooHigh, "00006  never"}));
    QCOMPARE(texts.Get(5, 0), QString("five"));
    QCOMPARE(texts.Get(6, 0), QString("five"));  // group 6 was never defined: start 0

    // Past the 513 texts of earlier files, up to 1024.
    QStringList many{"00001  first"};
    for (int i = 0; i < 1030; ++i) many << QStringLiteral("       text %1").arg(i);
    LanguageTexts fits;
    QVERIFY(fits.LoadLines(many.mid(0, 1024)));
    QCOMPARE(fits.Get(1, 1023), QString("text 1022"));
    LanguageTexts full;
    QVERIFY(!full.LoadLines(many));
    QCOMPARE(full.Get(1, 1023), QString("text 1022"));
    QCOMPARE(full.Get(1, 1024), QString());
  }

  void lookupsOutsideTheTablesAreEmpty() {
    LanguageTexts texts;
    QVERIFY(texts.LoadLines({"00999  last group"}));
    QCOMPARE(texts.Get(999, 0), QString("last group"));
    for (const auto& [group, entry] :
         {std::pair{999, 600}, {LanguageTexts::kGroupCount, 0}, {-1, 0}, {5, -1}}) {
      QVERIFY(texts.Get(group, entry).isEmpty());
    }
    QVERIFY(!texts.Load("/no/such/language.txt"));
  }

  void aLaterLoadKeepsUndefinedGroups() {
    LanguageTexts texts;
    QVERIFY(texts.LoadLines({"Cap..", "00040  forty", "00050  fifty"}));
    QVERIFY(texts.LoadLines({"Cap..", "00050  FIFTY"}));
    QCOMPARE(texts.Get(50, 0), QString("FIFTY"));
    QCOMPARE(texts.Get(40, 0), QString("FIFTY"));  // the old start now points at new text
  }

  void shippedLanguagesGiveEveryText_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("english") << QStringLiteral(ORBO_SOURCE_DIR "/resources/Texts/english.txt");
    QTest::newRow("russian") << QStringLiteral(ORBO_SOURCE_DIR "/resources/Texts/russian.txt");
  }

  void shippedLanguagesGiveEveryText() {
    QFETCH(QString, file);
    LanguageTexts texts;
    QVERIFY(texts.Load(file));
    QFile required(QStringLiteral(ORBO_SOURCE_DIR "/tests/data/required-texts.txt"));
    QVERIFY(required.open(QIODevice::ReadOnly | QIODevice::Text));
    int checked = 0;
    while (!required.atEnd()) {
      const QString line = QString::fromUtf8(required.readLine()).trimmed();
      if (line.startsWith(u'#')) continue;
      const QStringList numbers = line.split(u' ');
      const int group = numbers[0].toInt();
      const int entry = numbers[1].toInt();
      QVERIFY2(texts.Has(group, entry) && !texts.Get(group, entry).trimmed().isEmpty(),
               qPrintable(line));
      ++checked;
    }
    QVERIFY(checked > 250);
  }
};

QTEST_GUILESS_MAIN(LanguageTextsTest)
#include "tst_language_texts.moc"
