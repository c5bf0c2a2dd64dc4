// The library's C exports: the record stream's byte format, chunking and
// error handling, and the file archive's layout, round trips and hostile
// input.
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

#include "../test_files.h"
#include "orboinout/orboinout.h"

namespace {

constexpr int kWindow = 500000;

// A body item is kept as its plain bytes; the size tells the kind: 2 and 4
// are numbers, 5 or more a string record.
QByteArray RandomItem(QRandomGenerator& random, int kind) {
  if (kind < 2) return Le32(static_cast<qint32>(random.generate())).left(kind ? 4 : 2);
  QByteArray text(random.bounded(random.bounded(8) ? 40 : 3000), '\0');
  for (char& c : text) c = static_cast<char>(random.bounded(1, 256));
  return Le32(static_cast<qint32>(text.size())) + 'M' + text;
}

// Random items, except that at chunk boundary k an item of kind k % 3 starts
// (k / 3) % 5 bytes before it, so every kind meets every split. The body ends
// exactly at the end of its last chunk.
std::vector<QByteArray> ItemsOverChunks(quint32 seed, int chunks) {
  QRandomGenerator random(seed);
  std::vector<QByteArray> items;
  qint64 size = 0;
  auto add = [&](const QByteArray& item) {
    items.push_back(item);
    size += item.size();
  };
  for (int k = 1;; ++k) {
    const qint64 splitAt = qint64(k) * kWindow - (k / 3) % 5;
    while (size < splitAt - 3100) add(RandomItem(random, random.bounded(3)));
    if ((splitAt - size) % 2) add(Le32(0) + 'M');
    while (size < splitAt) add(RandomItem(random, 0));
    if (k == chunks) return items;
    add(RandomItem(random, k % 3));
  }
}

void WriteItem(const QByteArray& item) {
  if (item.size() == 2) return cppWrite2(qFromLittleEndian<qint16>(item.constData()));
  if (item.size() == 4) return cppWrite4(qFromLittleEndian<qint32>(item.constData()));
  xcppWriteS(item.constData() + 5);
}

QByteArray ReadItem(qsizetype size, char* text) {
  qint32 value = 0;
  qint16 small = 0;
  if (size == 2) return cppInput2(&small), Le32(small).left(2);
  if (size == 4) return cppInput4(&value), Le32(value);
  if (xcppInputS(text) <= 1) return "refused";
  return Le32(static_cast<qint32>(size - 5)) + 'M' + QByteArray(text, size - 5);
}

// The subfolder is stored only when its stored length is 2 or more.
QByteArray Entry(const QByteArray& subfolder, qsizetype stored, const QByteArray& name,
                 const QByteArray& content) {
  return Le32(static_cast<qint32>(stored)) + (stored >= 2 ? subfolder : QByteArray()) +
         Le32(static_cast<qint32>(name.size())) + name + Le32(static_cast<qint32>(content.size())) +
         content;
}

}  // namespace

class LibraryExportsTest : public QObject {
  Q_OBJECT

 private slots:
  // Packing happens in s\1/, unpacking in t\1/; both hold a subfolder a/.
  // A base folder is a path of this system, taken as it is, so nothing may
  // land in s/1/ or t/1/: only stored subfolders separate folders with "\".
  void init() {
    dir_.reset(new QTemporaryDir);
    QVERIFY(dir_->isValid() && QDir(S()).mkpath("a") && QDir(T()).mkpath("a"));
    QVERIFY(QDir(dir_->path()).mkpath("s/1") && QDir(dir_->path()).mkpath("t/1"));
  }

  // A failed test must not leave its archive open and fail the next one with OIO_ERR_BUSY.
  void cleanup() { oioCloseArh(); }

  // Rows run in order: an open after a key was set starts again with the
  // default one, and one after an error with the flag clear.
  void bodyFormat_data() {
    QTest::addColumn<QByteArray>("key");  // null: none set
    QTest::addColumn<int>("keyLength");
    QByteArray longKey(600, '\0');
    for (int i = 0; i < longKey.size(); ++i) longKey[i] = static_cast<char>('a' + i % 26);
    QTest::newRow("long key cut to 511") << longKey << 511;
    QTest::newRow("default key") << QByteArray() << 10;
    QTest::newRow("empty key keeps the default") << QByteArray("") << 10;
  }

  void bodyFormat() {
    QFETCH(QByteArray, key);
    QFETCH(int, keyLength);
    const QString path = dir_->filePath("body.bin");
    const QByteArray atLimit(OIO_MAX_STRING, 'y'), tooLong(700001, 'z');
    QVERIFY(cppOpenWrite(qPrintable(path)) != -1);
    if (!key.isNull()) QCOMPARE(cppSetPassword(key.constData()), keyLength);
    xcppWriteS("");
    cppWrite4(5);  // a record holding a zero byte, which only number items can write
    cppWrite2(static_cast<qint16>('M' | 'a' << 8));
    cppWrite2(static_cast<qint16>('b' << 8));
    cppWrite2(static_cast<qint16>('c' | 'd' << 8));
    xcppWriteS(atLimit.constData());
    xcppWriteS(tooLong.constData());  // more than the room behind a chunk, yet written whole
    cppWrite4(7);
    QCOMPARE(cppCloseWrite(), 1);
    QCOMPARE(ReadBytes(path),
             Scrambled(Le32(0) + "M" + Le32(5) + QByteArray("Ma\0bcd", 6) + Le32(OIO_MAX_STRING) +
                           'M' + atLimit + Le32(700001) + 'M' + tooLong + Le32(7),
                       key.isEmpty() ? kDefaultKey : key.left(keyLength)));

    // The result is the buffer position after the record; the copy stops at
    // a zero byte and zero-fills the rest, with no terminator. A record
    // above the limit sets the error flag: from then on every read leaves
    // its destination alone.
    QVERIFY(cppOpenInput(qPrintable(path)) != -1);
    if (!key.isNull()) cppSetPassword(key.constData());
    std::vector<char> text(OIO_MAX_STRING, 'x');
    QCOMPARE(xcppInputS(text.data()), 5);
    QCOMPARE(text[0], 'x');
    QCOMPARE(xcppInputS(text.data()), 15);
    QCOMPARE(QByteArray(text.data(), 6), QByteArray("a\0\0\0\0x", 6));
    QCOMPARE(xcppInputS(text.data()), 20 + OIO_MAX_STRING);
    QCOMPARE(QByteArray(text.data(), OIO_MAX_STRING), atLimit);
    QCOMPARE(cppInputState(nullptr, nullptr), 0);
    text[0] = 'x';
    QCOMPARE(xcppInputS(text.data()), 1);
    qint32 value = 5;
    qint16 small = 6;
    cppInput4(&value);
    cppInput2(&small);
    QCOMPARE(cppInputH4(&value), 0);
    QCOMPARE(xcppInputS(text.data()), 1);
    QCOMPARE(text[0], 'x');
    QCOMPARE(value, 5);
    QCOMPARE(small, qint16(6));
    QCOMPARE(cppInputState(nullptr, nullptr), 1);
    QVERIFY(cppCloseInput() != 0);
  }

  // After the items, a 2-byte item in a chunk of its own gives a short end to read past.
  void mixedItemsOverManyChunks() {
    const std::vector<QByteArray> items = ItemsOverChunks(7, 15);
    const QByteArray tail = Le32(-2).left(2);
    const QString path = dir_->filePath("many.bin");
    QVERIFY(cppOpenWrite(qPrintable(path)) != -1);
    cppSetPassword("secret");  // 6 bytes: the key position runs on across chunks
    cppWriteH4(3);             // header words are never scrambled
    QByteArray plain;
    for (const QByteArray& item : items) WriteItem(item), plain += item;
    QCOMPARE(QFileInfo(path).size(), 4 + 15 * qint64(kWindow));  // each chunk goes out as it fills
    WriteItem(tail);
    QCOMPARE(cppCloseWrite(), 1);
    QCOMPARE(ReadBytes(path), Le32(3) + Scrambled(plain + tail, "secret"));

    QVERIFY(cppOpenInput(qPrintable(path)) != -1);
    qint32 value = 0, pastEnd = 1, unread = -1;
    QCOMPARE(cppInputH4(&value), 1);
    QCOMPARE(value, 3);
    cppSetPassword("secret");
    QCOMPARE(cppInputState(&pastEnd, &unread), 0);
    QCOMPARE(unread, static_cast<qint32>(plain.size()) + 2);
    std::vector<char> text(OIO_MAX_STRING);
    for (const QByteArray& item : items) QCOMPARE(ReadItem(item.size(), text.data()), item);
    QCOMPARE(cppInputState(&pastEnd, &unread), 0);
    QCOMPARE(pastEnd, 0);
    QCOMPARE(unread, 2);
    // Reads past the end, header words too, change nothing but the mark.
    cppInput4(&value);
    QCOMPARE(xcppInputS(text.data()), 1);
    QCOMPARE(cppInputH4(&value), 0);
    QCOMPARE(value, 3);
    QCOMPARE(cppInputState(&pastEnd, nullptr), 0);
    QCOMPARE(pastEnd, 1);
    QCOMPARE(ReadItem(2, text.data()), tail);  // the 2 bytes that are there are still good
    QCOMPARE(cppCloseInput(), 1);
  }

  void failedOpensAndWrites() {
    QCOMPARE(cppOpenInput(qPrintable(dir_->path())), -1);  // a folder
    QCOMPARE(cppInputState(nullptr, nullptr), 1);
    QCOMPARE(cppCloseInput(), 0);
    if (!QFile::exists("/dev/full")) QSKIP("no /dev/full here");
    // Writing the last chunk fails at the close, a full one as it fills.
    for (int items : {10, kWindow / 4 + 10}) {
      QVERIFY(cppOpenWrite("/dev/full") != -1);
      for (int i = 0; i < items; ++i) cppWrite4(i);
      QVERIFY2(cppCloseWrite() == 0, qPrintable(QString("%1 items").arg(items)));
    }
  }

  // Failed adds, among good ones, leave the archive as if never tried.
  void packAndUnpack() {
    QVERIFY(QDir(S()).mkdir("docs"));
    QVERIFY(WriteBytes(S("top.txt"), "top level"));
    QVERIFY(WriteBytes(S("docs/inner.bin"), QByteArray("\0\1\2\3", 4)));
    QVERIFY(WriteBytes(S("empty.dat"), ""));
    QVERIFY(Start("pack.oar") >= 0);
    QCOMPARE(oioAddFile("top.txt", "\\"), OIO_OK);
    QCOMPARE(oioAddFile("missing", "\\"), OIO_ERR_OPEN);
    QCOMPARE(oioAddFile(QByteArray(480, 'n').constData(), QByteArray(30, 's').constData()),
             OIO_ERR_TOO_LONG);  // each short enough, not together
    QCOMPARE(oioAddFile("inner.bin", "docs\\"), OIO_OK);
    QCOMPARE(oioAddFile("empty.dat", ""), OIO_OK);
    QCOMPARE(oioCloseArh(), OIO_OK);
    // An empty subfolder is stored as 1: a 0 would end the archive there.
    const QByteArray archive = Entry("", 1, "top.txt", "top level") +
                               Entry("docs\\", 5, "inner.bin", QByteArray("\0\1\2\3", 4)) +
                               Entry("", 1, "empty.dat", "") + Le32(0);
    QCOMPARE(ReadBytes(S("pack.oar")), archive);

    QVERIFY(WriteBytes(T("pack.oar"), archive));
    QVERIFY(WriteBytes(T("top.txt"), "old content, overwritten"));
    QCOMPARE(Extract("pack.oar"), OIO_OK);
    QCOMPARE(ReadBytes(T("top.txt")), QByteArray("top level"));
    QCOMPARE(ReadBytes(T("docs/inner.bin")), QByteArray("\0\1\2\3", 4));
    QVERIFY(QFileInfo(T("empty.dat")).isFile());
    QVERIFY(QDir(dir_->filePath("s/1")).isEmpty() && QDir(dir_->filePath("t/1")).isEmpty());
  }

  // The first error is reported and the later entries are still unpacked, up
  // to a subfolder length of 0, which ends the archive.
  void extractionGoesOnAfterAWriteError() {
    QVERIFY(WriteBytes(T("sub"), "a file, so nothing can be written below it"));
    QVERIFY(WriteBytes(T("u.oar"), Entry("sub\\", 4, "x", "1") + Entry("", 1, "y", "2") +
                                       Entry("..\\", 3, "z", "5") + Entry("", 0, "hidden", "3") +
                                       Entry("", 1, "after", "4") + Le32(0)));
    QCOMPARE(Extract("u.oar"), OIO_ERR_WRITE);
    QCOMPARE(ReadBytes(T("y")), QByteArray("2"));
    QVERIFY(!QFile::exists(T("after")));
  }

  // Subfolders and names that could leave the target folder.
  void packerRefusesWhatTheExtractorSkips_data() {
    QTest::addColumn<QByteArray>("subfolder");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("parent subfolder") << QByteArray("..\\") << QByteArray("escaped");
    QTest::newRow("absolute subfolder") << QByteArray("/tmp/") << QByteArray("escaped");
    QTest::newRow("name with folder") << QByteArray("\\") << QByteArray("a/escaped");
    QTest::newRow("dot-dot name") << QByteArray("\\") << QByteArray("..");
    QTest::newRow("empty name") << QByteArray("\\") << QByteArray("");
  }

  void packerRefusesWhatTheExtractorSkips() {
    QFETCH(QByteArray, subfolder);
    QFETCH(QByteArray, name);
    QVERIFY(Start("p.oar") >= 0);
    QCOMPARE(oioAddFile(name.constData(), subfolder.constData()), OIO_ERR_UNSAFE);
    QCOMPARE(oioCloseArh(), OIO_OK);
    QVERIFY(WriteBytes(T("h.oar"), Entry(subfolder, subfolder.size(), name, "evil") +
                                       Entry("", 1, "fine", "ok") + Le32(0)));
    QCOMPARE(Extract("h.oar"), OIO_ERR_UNSAFE);
    QCOMPARE(ReadBytes(T("fine")), QByteArray("ok"));
  }

  // Writing the entry would truncate the archive being read, losing the entries after it.
  void entryNamingTheArchiveIsSkipped_data() {
    QTest::addColumn<QByteArray>("subfolder");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("current folder") << QByteArray(".\\") << QByteArray("pack.oar");
    QTest::newRow("link to the archive") << QByteArray("\\") << QByteArray("link.oar");
    QTest::newRow("link to the target") << QByteArray("loop\\") << QByteArray("pack.oar");
  }

  void entryNamingTheArchiveIsSkipped() {
    QFETCH(QByteArray, subfolder);
    QFETCH(QByteArray, name);
    // A file of the archive's name in another folder is no threat and is written.
    const QByteArray archive = Entry("", 1, "before", "1") +
                               Entry(subfolder, subfolder.size(), name, "overwrite") +
                               Entry("sub\\", 4, "pack.oar", "3") + Le32(0);
    QVERIFY(WriteBytes(T("pack.oar"), archive));
    QVERIFY(QFile::link(T("pack.oar"), T("link.oar")));
    QVERIFY(QFile::link(T(), T("loop")));
    QCOMPARE(Extract("pack.oar"), OIO_ERR_UNSAFE);
    QCOMPARE(ReadBytes(T("pack.oar")), archive);
    QCOMPARE(ReadBytes(T("sub/pack.oar")), QByteArray("3"));
  }

 private:
  // Paths in the packing and unpacking folders; without a name, the folder with a separator.
  QString S(const QString& name = {}) const { return dir_->filePath("s\\1/" + name); }
  QString T(const QString& name = {}) const { return dir_->filePath("t\\1/" + name); }
  qint32 Start(const char* archive) const { return oioStartArh(archive, qPrintable(S())); }
  qint32 Extract(const char* archive) const { return oioExtract(archive, qPrintable(T())); }

  std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_GUILESS_MAIN(LibraryExportsTest)
#include "tst_library_exports.moc"
