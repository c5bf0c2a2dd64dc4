// The record stream's byte format, chunking and error handling, through the
// library's C exports.
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
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

}  // namespace

class RecordStreamTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(dir_.isValid()); }

  // Rows run in order: an open after a key was set starts again with the default one.
  void bodyFormat_data() {
    QTest::addColumn<QByteArray>("key");  // null: none set
    QTest::addColumn<int>("keyLength");
    QTest::addColumn<QByteArray>("start");  // 12 zero bytes show key byte p XOR p
    QByteArray longKey(600, '\0');
    for (int i = 0; i < longKey.size(); ++i) longKey[i] = static_cast<char>('a' + i % 26);
    QTest::newRow("short key") << QByteArray("abc") << 3 << QByteArray("acaacaacaaca");
    QTest::newRow("default key") << QByteArray() << 10 << QByteArray("Kq6Ti<|$DxKq");
    QTest::newRow("empty key keeps the default")
        << QByteArray("") << 10 << QByteArray("Kq6Ti<|$DxKq");
    QTest::newRow("long key cut to 511") << longKey << 511 << QByteArray("acagacaoacag");
  }

  void bodyFormat() {
    QFETCH(QByteArray, key);
    QFETCH(int, keyLength);
    QFETCH(QByteArray, start);
    const QString path = dir_.filePath("body.bin");
    const QByteArray atLimit(OIO_MAX_STRING, 'y'), tooLong(700001, 'z');
    QVERIFY(cppOpenWrite(qPrintable(path)) != -1);
    if (!key.isNull()) QCOMPARE(cppSetPassword(key.constData()), keyLength);
    for (int i = 0; i < 3; ++i) cppWrite4(0);
    xcppWriteS("");
    xcppWriteS("abc");
    cppWrite4(5);  // a record holding a zero byte, which only number items can write
    cppWrite2(static_cast<qint16>('M' | 'a' << 8));
    cppWrite2(static_cast<qint16>('b' << 8));
    cppWrite2(static_cast<qint16>('c' | 'd' << 8));
    xcppWriteS(atLimit.constData());
    xcppWriteS(tooLong.constData());  // more than the room behind a chunk, yet written whole
    QCOMPARE(cppCloseWrite(), 1);
    const QByteArray bytes = ReadBytes(path);
    QCOMPARE(bytes.left(12), start);
    QCOMPARE(Scrambled(bytes, key.isEmpty() ? kDefaultKey : key.left(keyLength)),
             QByteArray(12, '\0') + Le32(0) + "M" + Le32(3) + "Mabc" + Le32(5) +
                 QByteArray("Ma\0bcd", 6) + Le32(OIO_MAX_STRING) + 'M' + atLimit + Le32(700001) +
                 'M' + tooLong);

    // The result is the buffer position after the record; the copy adds no
    // terminator.
    QVERIFY(cppOpenInput(qPrintable(path)) != -1);
    if (!key.isNull()) cppSetPassword(key.constData());
    std::vector<char> text(OIO_MAX_STRING, 'x');
    qint32 zero = 1;
    for (int i = 0; i < 3; ++i) cppInput4(&zero);
    QCOMPARE(zero, 0);
    QCOMPARE(xcppInputS(text.data()), 17);
    QCOMPARE(text[0], 'x');
    QCOMPARE(xcppInputS(text.data()), 25);
    QCOMPARE(QByteArray(text.data(), 4), QByteArray("abcx"));
    QCOMPARE(xcppInputS(text.data()), 35);
    QCOMPARE(xcppInputS(text.data()), 40 + OIO_MAX_STRING);
    QCOMPARE(QByteArray(text.data(), OIO_MAX_STRING), atLimit);
    QCOMPARE(cppInputState(nullptr, nullptr), 0);
    cppCloseInput();
  }

  // After the items, a 2-byte item in a chunk of its own gives a short end to read past.
  void mixedItemsOverManyChunks() {
    const std::vector<QByteArray> items = ItemsOverChunks(7, 15);
    const QByteArray tail = Le32(-2).left(2);
    const QString path = dir_.filePath("many.bin");
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
    QCOMPARE(ReadItem(2, text.data()), tail);       // the 2 bytes that are there are still good
    QVERIFY(cppOpenInput(qPrintable(path)) != -1);  // the next open starts clean
    QCOMPARE(cppInputState(&pastEnd, nullptr), 0);
    QCOMPARE(pastEnd, 0);
    QCOMPARE(cppCloseInput(), 1);
  }

  void readErrorsSetTheFlag_data() {
    QTest::addColumn<QByteArray>("body");  // null: no file at all
    QTest::newRow("no file") << QByteArray();
    QTest::newRow("length above the limit")
        << Le32(OIO_MAX_STRING + 1) + 'M' + QByteArray(OIO_MAX_STRING + 1, 'a');
    QTest::newRow("negative length") << Le32(-4) + "Mabc";
  }

  void readErrorsSetTheFlag() {
    QFETCH(QByteArray, body);
    const QString path = dir_.filePath("bad.bin");
    if (!body.isNull()) QVERIFY(WriteBytes(path, Scrambled(body + Le32(1234), kDefaultKey)));
    QCOMPARE(cppOpenInput(qPrintable(path)) == -1, body.isNull());
    // From then on every read leaves its destination alone.
    std::vector<char> text(OIO_MAX_STRING, 'x');
    qint32 value = 5;
    qint16 small = 6;
    QCOMPARE(xcppInputS(text.data()), 1);
    cppInput4(&value);
    cppInput2(&small);
    QCOMPARE(cppInputH4(&value), 0);
    QCOMPARE(xcppInputS(text.data()), 1);
    QCOMPARE(text[0], 'x');
    QCOMPARE(value, 5);
    QCOMPARE(small, qint16(6));
    QCOMPARE(cppInputState(nullptr, nullptr), 1);
    QCOMPARE(cppCloseInput() != 0, !body.isNull());

    QVERIFY(WriteBytes(path, Scrambled(Le32(42), kDefaultKey)));
    QVERIFY(cppOpenInput(qPrintable(path)) != -1);  // the next open starts clean
    cppInput4(&value);
    QCOMPARE(value, 42);
    cppCloseInput();
  }

  void failedOpensAndWrites() {
    QCOMPARE(cppOpenInput(qPrintable(dir_.path())), -1);  // a folder
    const QString missing = dir_.filePath("no/such/file.bin");
    QCOMPARE(cppOpenWrite(qPrintable(missing)), -1);
    xcppWriteS("dropped");
    QCOMPARE(cppCloseWrite(), 0);
    QVERIFY(!QFile::exists(missing));
    if (!QFile::exists("/dev/full")) QSKIP("no /dev/full here");
    // Writing the last chunk fails at the close, a full one as it fills.
    for (int items : {10, kWindow / 4 + 10}) {
      QVERIFY(cppOpenWrite("/dev/full") != -1);
      for (int i = 0; i < items; ++i) cppWrite4(i);
      QVERIFY2(cppCloseWrite() == 0, qPrintable(QString("%1 items").arg(items)));
    }
  }

 private:
  QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(RecordStreamTest)
#include "tst_record_stream.moc"
