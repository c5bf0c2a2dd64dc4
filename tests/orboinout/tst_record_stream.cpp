// The record stream's byte format, buffering and error handling, through the
// library's C exports.
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <vector>

#include "orboinout/orboinout.h"
#include "test_files.h"

namespace {

const QByteArray kDefaultKey = "Kp4Wm9z#Lq";
constexpr int kWindow = 500000;

// The scrambling written out plainly, to check the library against.
QByteArray Descramble(QByteArray body, const QByteArray& key) {
  for (int i = 0; i < body.size(); ++i) {
    int p = i % key.size();
    body[i] = static_cast<char>(body[i] ^ key[p] ^ (p & 0xFF));
  }
  return body;
}

QByteArray Path(const QTemporaryDir& dir, const char* name) {
  return dir.filePath(name).toLocal8Bit();
}

// One item of a mixed test body, so a body can be written and then checked.
struct Item {
  enum Kind { Int16, Int32, Text } kind;
  qint32 number = 0;
  QByteArray text;
};

std::vector<Item> MixedItems(int count, quint32 seed) {
  QRandomGenerator random(seed);
  std::vector<Item> items;
  for (int i = 0; i < count; ++i) {
    switch (random.bounded(3)) {
      case 0:
        items.push_back({Item::Int16, static_cast<qint16>(random.generate()), {}});
        break;
      case 1:
        items.push_back({Item::Int32, static_cast<qint32>(random.generate()), {}});
        break;
      default: {
        QByteArray text(random.bounded(301), '\0');
        for (char& c : text) c = static_cast<char>(random.bounded(1, 256));
        items.push_back({Item::Text, 0, text});
      }
    }
  }
  return items;
}

void WriteItems(const std::vector<Item>& items) {
  for (const Item& item : items) {
    if (item.kind == Item::Int16) cppWrite2(static_cast<qint16>(item.number));
    if (item.kind == Item::Int32) cppWrite4(item.number);
    if (item.kind == Item::Text) xcppWriteS(item.text.constData());
  }
}

void ReadAndCompareItems(const std::vector<Item>& items) {
  std::vector<char> text(OIO_MAX_STRING);
  for (const Item& item : items) {
    if (item.kind == Item::Int16) {
      qint16 value = 0;
      cppInput2(&value);
      QCOMPARE(value, static_cast<qint16>(item.number));
    } else if (item.kind == Item::Int32) {
      qint32 value = 0;
      cppInput4(&value);
      QCOMPARE(value, item.number);
    } else {
      QVERIFY(xcppInputS(text.data()) > 1 || item.text.isEmpty());
      QCOMPARE(QByteArray(text.data(), item.text.size()), item.text);
    }
  }
}

void WriteFile(const QByteArray& path, const std::function<void()>& body,
               const char* key = nullptr) {
  QVERIFY(cppOpenWrite(path.constData()) != -1);
  if (key) cppSetPassword(key);
  body();
  QCOMPARE(cppCloseWrite(), 1);
}

}  // namespace

class RecordStreamTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(dir_.isValid()); }

  void defaultKeyAndHeaderWords() {
    QByteArray path = Path(dir_, "default.bin");
    WriteFile(path, [] {
      QCOMPARE(cppWriteH4(0x11223344), 1);
      for (int i = 0; i < 6; ++i) cppWrite4(0);
    });
    QByteArray bytes = ReadBytes(path);
    QCOMPARE(bytes.left(4), QByteArray("\x44\x33\x22\x11"));
    QCOMPARE(bytes.size(), 4 + 24);
    // Body byte i of zeros shows key byte i mod 10 XOR (i mod 10).
    QCOMPARE(Descramble(bytes.mid(4), kDefaultKey), QByteArray(24, '\0'));
    QCOMPARE(bytes[4 + 1], static_cast<char>('p' ^ 1));
    QCOMPARE(bytes[4 + 10], 'K');
  }

  void keyOfLengthThree() {
    QByteArray path = Path(dir_, "abc.bin");
    WriteFile(path, [] {
      cppWriteH4(7);
      QCOMPARE(cppSetPassword("abc"), 3);
      cppWrite4(0);
    });
    QByteArray bytes = ReadBytes(path);
    QCOMPARE(bytes, Le32(7) + QByteArray("a\x63\x61"
                                         "a"));  // 'b'^1, 'c'^2
  }

  void passwordChangesEveryByteButNotTheHeader() {
    auto body = [] {
      cppWriteH4(1);
      cppWriteH4(-5);
      xcppWriteS("the same text");
    };
    QByteArray plainPath = Path(dir_, "plain.bin");
    QByteArray keyedPath = Path(dir_, "keyed.bin");
    WriteFile(plainPath, body);
    WriteFile(keyedPath, body, "abc");
    QByteArray plain = ReadBytes(plainPath);
    QByteArray keyed = ReadBytes(keyedPath);
    QCOMPARE(plain.size(), keyed.size());
    QCOMPARE(plain.left(8), keyed.left(8));
    QVERIFY(plain[8] != keyed[8]);
    QCOMPARE(Descramble(plain.mid(8), kDefaultKey), Descramble(keyed.mid(8), "abc"));

    // Read with the wrong key, the length comes out wrong and the record is refused.
    QVERIFY(cppOpenInput(keyedPath.constData()) != -1);
    qint32 header = 0;
    cppInputH4(&header);
    cppInputH4(&header);
    QCOMPARE(header, -5);
    std::vector<char> text(OIO_MAX_STRING);
    QCOMPARE(xcppInputS(text.data()), 1);
    QCOMPARE(cppInputState(nullptr, nullptr), 1);
    cppCloseInput();
  }

  void keyLimits() {
    // An empty key keeps the default.
    QCOMPARE(cppOpenWrite(Path(dir_, "k.bin").constData()) != -1, true);
    QCOMPARE(cppSetPassword(""), 10);
    cppCloseWrite();

    // A long key is cut to 511 bytes: reading with those 511 bytes works.
    QByteArray longKey(600, 'q');
    for (int i = 0; i < longKey.size(); ++i) longKey[i] = static_cast<char>('a' + i % 26);
    QByteArray path = Path(dir_, "long.bin");
    WriteFile(
        path,
        [] {
          for (int i = 0; i < 300; ++i) cppWrite2(static_cast<qint16>(i));
        },
        longKey.constData());
    QVERIFY(cppOpenInput(path.constData()) != -1);
    QCOMPARE(cppSetPassword(longKey.left(511).constData()), 511);
    for (int i = 0; i < 300; ++i) {
      qint16 value = -1;
      cppInput2(&value);
      QCOMPARE(value, static_cast<qint16>(i));
    }
    cppCloseInput();
  }

  void stringRecords() {
    QByteArray path = Path(dir_, "strings.bin");
    WriteFile(path, [] {
      xcppWriteS("");
      xcppWriteS("abc");
    });
    QCOMPARE(Descramble(ReadBytes(path), kDefaultKey), Le32(0) + "M" + Le32(3) + "M" + "abc");

    QVERIFY(cppOpenInput(path.constData()) != -1);
    std::vector<char> text(OIO_MAX_STRING, 'x');
    QCOMPARE(xcppInputS(text.data()), 5);
    QCOMPARE(text[0], 'x');  // an empty record copies nothing
    QCOMPARE(xcppInputS(text.data()), 13);
    QCOMPARE(QByteArray(text.data(), 4), QByteArray("abcx"));
    cppCloseInput();
  }

  void zeroByteInsideRecordEndsTheCopy() {
    QByteArray path = Path(dir_, "zero.bin");
    // A record whose text holds a zero byte, crafted through the integer items.
    WriteFile(path, [] {
      cppWrite4(4);
      cppWrite2(static_cast<qint16>(77 | ('a' << 8)));
      cppWrite2(static_cast<qint16>(0 | ('b' << 8)));
      cppWrite2(static_cast<qint16>('c'));
    });
    QVERIFY(cppOpenInput(path.constData()) != -1);
    std::vector<char> text(OIO_MAX_STRING, 'x');
    QCOMPARE(xcppInputS(text.data()), 9);
    QCOMPARE(QByteArray(text.data(), 5), QByteArray("a\0\0\0x", 5));
    cppCloseInput();
  }

  void bodyOfExactlyOneWindow() {
    QByteArray path = Path(dir_, "window.bin");
    QVERIFY(cppOpenWrite(path.constData()) != -1);
    for (int i = 0; i < kWindow / 4; ++i) cppWrite4(i);
    // The full window went out the moment it filled; nothing is left for the close.
    QCOMPARE(QFileInfo(QString::fromLocal8Bit(path)).size(), qint64(kWindow));
    QCOMPARE(cppCloseWrite(), 1);
    QCOMPARE(QFileInfo(QString::fromLocal8Bit(path)).size(), qint64(kWindow));

    QVERIFY(cppOpenInput(path.constData()) != -1);
    qint32 value = 0;
    for (int i = 0; i < kWindow / 4; ++i) {
      cppInput4(&value);
      if (value != i) QFAIL(qPrintable(QString("item %1 read as %2").arg(i).arg(value)));
    }
    qint32 pastEnd = 0, unread = -1;
    QCOMPARE(cppInputState(&pastEnd, &unread), 0);
    QCOMPARE(pastEnd, 0);
    QCOMPARE(unread, 0);
    cppInput4(&value);
    QCOMPARE(value, kWindow / 4 - 1);  // left unchanged past the end
    QCOMPARE(cppInputState(&pastEnd, nullptr), 0);
    QCOMPARE(pastEnd, 1);
    cppCloseInput();
  }

  void itemStraddlingTheWindow() {
    QByteArray path = Path(dir_, "straddle.bin");
    QVERIFY(cppOpenWrite(path.constData()) != -1);
    for (int i = 0; i < (kWindow - 2) / 2; ++i) cppWrite2(static_cast<qint16>(i));
    cppWrite4(0x01020304);  // two bytes in the first chunk, two in the next
    QCOMPARE(QFileInfo(QString::fromLocal8Bit(path)).size(), qint64(kWindow));
    cppWrite2(9);
    QCOMPARE(cppCloseWrite(), 1);
    QByteArray plain = Descramble(ReadBytes(path), kDefaultKey);
    QCOMPARE(plain.mid(kWindow - 2), Le32(0x01020304) + "\x09" + QByteArray(1, '\0'));

    QVERIFY(cppOpenInput(path.constData()) != -1);
    qint16 small = 0;
    qint32 value = 0;
    for (int i = 0; i < (kWindow - 2) / 2; ++i) cppInput2(&small);
    QCOMPARE(small, static_cast<qint16>((kWindow - 2) / 2 - 1));
    cppInput4(&value);
    QCOMPARE(value, 0x01020304);
    cppInput2(&small);
    QCOMPARE(small, qint16(9));
    QCOMPARE(cppInputState(nullptr, nullptr), 0);
    cppCloseInput();
  }

  void stringHeaderFourBytesBeforeTheWindowEnd() {
    const QByteArray text = "read after the window was refilled";
    QByteArray path = Path(dir_, "header.bin");
    WriteFile(path, [&] {
      for (int i = 0; i < (kWindow - 4) / 4; ++i) cppWrite4(i);
      xcppWriteS(text.constData());
    });
    QCOMPARE(Descramble(ReadBytes(path), kDefaultKey).mid(kWindow - 4, 5),
             Le32(static_cast<qint32>(text.size())) + "M");

    QVERIFY(cppOpenInput(path.constData()) != -1);
    qint32 value = 0;
    for (int i = 0; i < (kWindow - 4) / 4; ++i) cppInput4(&value);
    std::vector<char> dest(OIO_MAX_STRING);
    QCOMPARE(xcppInputS(dest.data()), 5 + text.size());  // from the refilled window's start
    QCOMPARE(QByteArray(dest.data()), text);
    cppCloseInput();
  }

  void manyChunksRoundTripWithPassword() {
    std::vector<Item> items = MixedItems(60000, 7);  // about 4 MB
    QByteArray path = Path(dir_, "many.bin");
    WriteFile(path, [&] {
      cppWriteH4(3);
      cppSetPassword("secret");
      WriteItems(items);
    });
    QVERIFY(cppOpenInput(path.constData()) != -1);
    qint32 header = 0;
    QCOMPARE(cppInputH4(&header), 1);
    QCOMPARE(header, 3);
    cppSetPassword("secret");
    ReadAndCompareItems(items);
    qint32 pastEnd = 1, unread = -1;
    QCOMPARE(cppInputState(&pastEnd, &unread), 0);
    QCOMPARE(pastEnd, 0);
    QCOMPARE(unread, 0);
    QCOMPARE(cppCloseInput(), 1);
  }

  void longTextIsWrittenWhole() {
    // Longer than the room behind the window: written, though no reader accepts it.
    QByteArray text(700001, 'z');
    QByteArray path = Path(dir_, "long-text.bin");
    WriteFile(path, [&] {
      cppWrite4(1);
      xcppWriteS(text.constData());
      cppWrite4(2);
    });
    QByteArray plain = Descramble(ReadBytes(path), kDefaultKey);
    QCOMPARE(plain, Le32(1) + Le32(700001) + "M" + text + Le32(2));
  }

  void shortBodyIsNoErrorButReadsPastItAreMarked() {
    QByteArray path = Path(dir_, "short.bin");
    WriteFile(path, [] {
      cppWrite4(-9);
      cppWrite2(5);
    });
    QVERIFY(cppOpenInput(path.constData()) != -1);
    qint32 pastEnd = -1, unread = -1;
    QCOMPARE(cppInputState(&pastEnd, &unread), 0);
    QCOMPARE(unread, 6);
    qint32 value = 0;
    cppInput4(&value);
    QCOMPARE(value, -9);
    QCOMPARE(cppInputState(&pastEnd, &unread), 0);
    QCOMPARE(pastEnd, 0);
    QCOMPARE(unread, 2);
    cppInput4(&value);  // only 2 bytes are left
    QCOMPARE(value, -9);
    std::vector<char> text(OIO_MAX_STRING, 'x');
    QCOMPARE(xcppInputS(text.data()), 1);
    QCOMPARE(text[0], 'x');
    QCOMPARE(cppInputState(&pastEnd, &unread), 0);
    QCOMPARE(pastEnd, 1);
    qint16 small = 0;
    cppInput2(&small);  // the 2 bytes that are there are still good
    QCOMPARE(small, qint16(5));
    cppCloseInput();

    // A header word the file does not have leaves its destination alone.
    QByteArray tiny = Path(dir_, "tiny.bin");
    QVERIFY(WriteBytes(QString::fromLocal8Bit(tiny), "ab"));
    QVERIFY(cppOpenInput(tiny.constData()) != -1);
    value = 77;
    QCOMPARE(cppInputH4(&value), 0);
    QCOMPARE(value, 77);
    cppCloseInput();
  }

  void errorFlagMakesEverythingInert_data() {
    QTest::addColumn<qint32>("length");
    QTest::addColumn<qint16>("marker");
    QTest::newRow("wrong marker") << 3 << qint16('X' | ('a' << 8));
    QTest::newRow("length above the limit") << OIO_MAX_STRING + 1 << qint16(77);
    QTest::newRow("negative length") << -4 << qint16(77);
  }

  void errorFlagMakesEverythingInert() {
    QFETCH(qint32, length);
    QFETCH(qint16, marker);
    QByteArray path = Path(dir_, "bad.bin");
    WriteFile(path, [&] {
      cppWrite4(length);
      cppWrite2(marker);
      for (int i = 0; i < 10; ++i) cppWrite4(1234);
    });
    QVERIFY(cppOpenInput(path.constData()) != -1);
    std::vector<char> text(OIO_MAX_STRING, 'x');
    QCOMPARE(xcppInputS(text.data()), 1);
    QCOMPARE(text[0], 'x');
    qint32 value = 5;
    qint16 small = 6;
    cppInput4(&value);
    cppInput2(&small);
    QCOMPARE(value, 5);
    QCOMPARE(small, qint16(6));
    QCOMPARE(xcppInputS(text.data()), 1);
    QCOMPARE(cppInputState(nullptr, nullptr), 1);
    QCOMPARE(cppCloseInput(), 1);

    // The next open starts clean.
    QVERIFY(cppOpenInput(path.constData()) != -1);
    QCOMPARE(cppInputState(nullptr, nullptr), 0);
    cppInput4(&value);
    QCOMPARE(value, length);
    cppCloseInput();
  }

  void failedOpens() {
    QByteArray missing = Path(dir_, "no/such/file.bin");
    QCOMPARE(cppOpenInput(missing.constData()), -1);
    QCOMPARE(cppInputState(nullptr, nullptr), 1);
    qint32 value = 3;
    cppInput4(&value);
    QCOMPARE(value, 3);
    QCOMPARE(cppInputH4(&value), 0);
    std::vector<char> text(OIO_MAX_STRING, 'x');
    QCOMPARE(xcppInputS(text.data()), 1);
    QCOMPARE(cppCloseInput(), 0);

    QCOMPARE(cppOpenWrite(missing.constData()), -1);
    QCOMPARE(cppWriteH4(1), 0);
    cppWrite4(1);
    xcppWriteS("dropped");
    QCOMPARE(cppCloseWrite(), 0);
    QVERIFY(!QFile::exists(QString::fromLocal8Bit(missing)));

    QCOMPARE(cppOpenInput(dir_.path().toLocal8Bit().constData()), -1);  // a folder
  }

  void failedWritesAreReported_data() {
    QTest::addColumn<int>("items");
    QTest::newRow("in the final chunk") << 10;
    QTest::newRow("in a full chunk") << kWindow / 4 + 10;
  }

  void failedWritesAreReported() {
    QFETCH(int, items);
    if (!QFile::exists("/dev/full")) QSKIP("no /dev/full here");
    QVERIFY(cppOpenWrite("/dev/full") != -1);
    for (int i = 0; i < items; ++i) cppWrite4(i);
    QCOMPARE(cppCloseWrite(), 0);
  }

 private:
  QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(RecordStreamTest)
#include "tst_record_stream.moc"
