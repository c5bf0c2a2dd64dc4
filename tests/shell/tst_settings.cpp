// The settings file format and the recent-file list.
#include <QtTest>

#include "shell/recent_files.h"
#include "shell/settings_file.h"

using namespace orbo;

namespace {

AppSettings Unusual() {
  AppSettings s;
  s.RecentFiles = {"c:\\db\\a.2db", "/home/ann/b, with comma.2db", "say \"hi\".2db", "-"};
  s.WideList = true;
  s.ShowStatusBar = false;
  s.ShowGrid = false;
  s.GridStepX = 45;
  s.GridStepY = 300;
  s.FixedTextHeight = true;
  s.WindowLeft = -15;
  s.WindowTop = 30;
  s.WindowWidth = 100000;
  s.WindowHeight = 7000;
  s.WindowState = 2;
  s.ToolButtonVisible[0][1] = false;
  s.ToolButtonVisible[1][64] = false;
  s.DefaultFont =
      FontSpec{"Liberation %1 Serif", 14, true, false};  // a name that looks like a placeholder
  s.ShowStartDialog = false;
  s.StartCount = 70000;
  return s;
}

}  // namespace

class SettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void fileFormatAndRoundTrip() {
    const QString text = SettingsToText(Unusual());
    const QStringList lines = text.split("\r\n");
    QCOMPARE(lines.size(), 146 + 1);  // the last line ends with CR LF too
    QCOMPARE(lines[8], QString("45,300"));
    QCOMPARE(lines[143], QString("\"Liberation %1 Serif\",#TRUE#,#FALSE#,14"));
    QCOMPARE(lines[145], QString("70000"));
    AppSettings read;
    QVERIFY(SettingsFromText(text, &read));
    QCOMPARE(read, Unusual());
  }

  // A damaged file is reported, and what could not be read keeps its
  // default; a value of the wrong kind or out of range keeps the rest in line.
  void damagedFilesKeepDefaults_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("gridStepY");
    QTest::addColumn<int>("startCount");
    const AppSettings defaults;
    QTest::newRow("empty") << QString() << int(defaults.GridStepY) << int(defaults.StartCount);
    QTest::newRow("cut short") << SettingsToText(Unusual()).left(200) << 300
                               << int(defaults.StartCount);
    QTest::newRow("wrong kinds") << SettingsToText(Unusual()).replace("\r\n45,300\r\n",
                                                                      "\r\n\"x\",99999\r\n")
                                 << int(defaults.GridStepY) << 70000;
  }

  void damagedFilesKeepDefaults() {
    QFETCH(QString, text);
    AppSettings read;
    QVERIFY(!SettingsFromText(text, &read));
    QTEST(int(read.GridStepY), "gridStepY");
    QTEST(int(read.StartCount), "startCount");
  }

  // Free slots fill in order; a full list or a known path puts it first. A
  // relative path is kept absolute: it names another file from another folder.
  void recentFiles_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("into a free slot")
        << QStringList{"/a", "/b", "-", "-"} << "/c" << QStringList{"/a", "/b", "/c", "-"};
    QTest::newRow("full list") << QStringList{"/a", "/b", "/c", "/d"} << "/e"
                               << QStringList{"/e", "/a", "/b", "/c"};
    QTest::newRow("move to the top")
        << QStringList{"/a", "/b", "/c", "/d"} << "/c" << QStringList{"/c", "/a", "/b", "/d"};
    QTest::newRow("already first")
        << QStringList{"/a", "/b", "-", "-"} << "/a" << QStringList{"/a", "/b", "-", "-"};
#ifdef Q_OS_WIN
    QTest::newRow("case ignored") << QStringList{"a", "-", "-", "-"} << "B"
                                  << QStringList{"a", "b", "-", "-"};
#else
    QTest::newRow("case kept") << QStringList{"/a", "-", "-", "-"} << "/A"
                               << QStringList{"/a", "/A", "-", "-"};
    QTest::newRow("relative made absolute")
        << QStringList{"/a", "-", "-", "-"} << "../x/y.2db"
        << QStringList{"/a", QDir(QDir::current().canonicalPath() + "/../x/y.2db").absolutePath(),
                       "-", "-"};
#endif
  }
  void recentFiles() {
    QFETCH(QStringList, before);
    QFETCH(QString, path);
    QFETCH(QStringList, after);
    RecentList list;
    std::copy(before.begin(), before.end(), list.begin());
    QCOMPARE(AddRecentFile(list, path), before != after);
    QCOMPARE(QStringList(list.begin(), list.end()), after);
  }
  void recentMenuCaptions() {
    QCOMPARE(RecentMenuCaption(2, "c:\\x.2db"), QString("&3 c:\\x.2db"));
    QCOMPARE(RecentPathFromCaption("&3 c:\\x.2db", "/opt/orbo/"), QString("c:\\x.2db"));
    QCOMPARE(RecentPathFromCaption("&1 \\data\\ex.2db", "/opt/orbo/"),
             QString("/opt/orbo/data\\ex.2db"));
  }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
