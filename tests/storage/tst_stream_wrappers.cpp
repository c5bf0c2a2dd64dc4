#include <QtTest>

#include "body_bytes.h"
#include "storage/storage_error.h"
#include "storage/stream_library.h"
#include "storage/stream_wrappers.h"

using namespace orbo;
using namespace orbo::test;

class StreamWrappersTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  CodePage codePage_;

  QString Path() const { return dir_.filePath(QStringLiteral("items.bin")); }
  QByteArray Name() const { return QFile::encodeName(Path()); }

  // Opens the stream over a file holding exactly these body bytes.
  void OpenBody(const QByteArray& body) {
    QVERIFY(WriteBytes(Path(), Scrambled(body, kDefaultKey)));
    QVERIFY(stream::OpenInput(Name()) != -1);
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  }

  // Every byte but zero is one character of its own, written back as itself.
  void everyByteOfTheCodePageIsOneCharacter() {
    QByteArray bytes;
    for (int c = 1; c < 256; ++c) bytes.append(static_cast<char>(c));
    const QString all = codePage_.Decode(bytes.constData(), 255);
    QCOMPARE(all.size(), 255);
    // Bytes above ASCII alone are still the code page's, not Latin-1.
    QCOMPARE(codePage_.Decode("\x80\x93", 2), QString::fromUtf8("\u20ac\u201c"));
    // A zero byte would end the record early: it is written as a space.
    stream::OpenWrite(Name());
    StreamWriter(codePage_).WriteStr(QChar(0) + all);
    QVERIFY(stream::CloseWrite());
    QCOMPARE(Scrambled(ReadBytes(Path()), kDefaultKey).toHex(),
             BodyBytes().S(' ' + bytes).bytes.toHex());
    QVERIFY(stream::OpenInput(Name()) != -1);
    QCOMPARE(StreamReader(codePage_).ReadStr(), QLatin1Char(' ') + all);
    stream::CloseInput();
  }

  void readStrKeepsTheStoredCountWhateverTheRecordHolds() {
    BodyBytes b;
    b.L(2).RecordOnly(QByteArray(100000, 'z'));  // count below: cut, no overrun
    b.L(6).RecordOnly("ab");  // count above the record: spaces, not what was read before
    b.L(4).RecordOnly(QByteArray("a\0bc", 4));  // copying stops at a zero byte: spaces
    b.I(-3).I(5);
    OpenBody(b.bytes);
    StreamReader in(codePage_);
    QCOMPARE(in.ReadStr(), QStringLiteral("zz"));
    QCOMPARE(in.ReadStr(), QStringLiteral("ab    "));
    QCOMPARE(in.ReadStr(), QStringLiteral("a   "));
    QVERIFY(in.ReadFlag());
    QCOMPARE(in.ReadInt(), std::int16_t(5));
    QVERIFY(!stream::QueryInputState().failed);
    stream::CloseInput();
  }

  void codePagesAStreamCannotCarryAreRefused() {
    // UTF-16's texts would hold zero bytes, where a string record ends; the
    // file stores one byte per counted character.
    for (const char* name : {"no-such-code-page", "UTF-16LE", "UTF-8", "Big5"})
      QVERIFY_THROWS_EXCEPTION(StorageError, CodePage(QString::fromLatin1(name)));
    // A code page that moves ASCII characters is named with the first one, in hex.
    const auto refusal = [](const char* name) {
      try {
        CodePage page{QString::fromLatin1(name)};
      } catch (const StorageError& error) {
        return error.Message();
      }
      return QString();
    };
    QCOMPARE(refusal("Shift_JIS"), QString("Shift_JIS does not store every ASCII character as its "
                                           "own byte: U+001a becomes byte 0x7f"));
  }

  void anUnencodableTextSpoilsNoOther() {
    QByteArray bytes;
    for (int round = 0; round < 2; ++round) {
      QVERIFY(!codePage_.Encode(QString::fromUtf8("\u4e2d"), &bytes));
      QVERIFY(!codePage_.Encode(QString::fromUtf8("\u0100"), &bytes));  // no best fit to "A"
      QVERIFY(codePage_.Encode(QString::fromUtf8("\u00e9\u20ac"), &bytes));
      QCOMPARE(bytes, QByteArray("\xe9\x80"));
    }
    // A character beyond U+FFFF is named as one.
    const QString told = codePage_.DescribeUnencodable(QStringLiteral("a\U0001F600"));
    QVERIFY2(told.contains("U+1f600"), qPrintable(told));
    // A lone first half of a pair at the end is named by itself.
    const QString lone = codePage_.DescribeUnencodable(QStringLiteral("a") + QChar(0xD83D));
    QVERIFY2(lone.contains("U+d83d"), qPrintable(lone));
    QVERIFY(codePage_.DescribeUnencodable(QString::fromUtf8("\u0100")).contains("U+0100 "));
  }

  // Texts are narrowed sixteen characters at a time while they are ASCII;
  // whatever stands where, the bytes are the converter's.
  void encodingAgreesWithTheConverter() {
    QStringEncoder encoder("windows-1252", QStringConverter::Flag::Stateless);
    QStringDecoder decoder("windows-1252", QStringConverter::Flag::Stateless);
    const QString letters = QString::fromUtf8("aZ 0~\x7f\x01\u00e9\u20ac\u0416\u00ff\u0080");
    QRandomGenerator random(1252);
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i) {
      QString text(random.bounded(40), QLatin1Char('x'));
      for (QChar& c : text) c = letters[random.bounded(random.bounded(2) ? 5 : letters.size())];
      const QByteArray expected = encoder.encode(text);
      const bool held = QString(decoder.decode(expected)) == text;
      QCOMPARE(codePage_.Encode(text, &bytes), held);
      if (held) QCOMPARE(bytes, expected);
    }
  }
};

QTEST_GUILESS_MAIN(StreamWrappersTest)
#include "tst_stream_wrappers.moc"
