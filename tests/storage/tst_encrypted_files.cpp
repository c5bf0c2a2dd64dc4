// Encrypted database files: the container refuses every change, a wrong
// password and a cut-off end before anything is read, and a database
// written encrypted reads back whole, with no plain text in the file.
#include <sodium.h>

#include <QTest>
#include <QtEndian>

#include "../test_files.h"
#include "sample_databases.h"
#include "storage/code_page.h"
#include "storage/database_file.h"
#include "storage/database_merge.h"
#include "storage/encrypted_file.h"
#include "storage/storage_error.h"
#include "storage/stream_library.h"

using namespace orbo;

namespace {

const QString kPassword = QStringLiteral("Kennwört-1");

// Plain bytes that cross chunks: two full ones and a short third.
QByteArray ThreeChunks() {
  QByteArray plain;
  for (int i = 0; i < 2 * 65536 + 10; ++i) plain.append(static_cast<char>(i * 7 + i / 256));
  return plain;
}

// A container as another program would write it from the documented layout,
// with a chunk size of its own choosing.
QByteArray SealAsAnotherProgram(const QByteArray& plain, quint32 chunk, const KeyCost& cost) {
  QByteArray header(kEncryptedHeaderSize, '\0');
  auto* bytes = reinterpret_cast<unsigned char*>(header.data());
  std::memcpy(bytes, kEncryptedMagic, kEncryptedMagicSize);
  qToLittleEndian<quint16>(1, bytes + 8);
  bytes[10] = 1;  // Argon2id 1.3
  bytes[11] = 1;  // XChaCha20-Poly1305 secret stream
  qToLittleEndian<quint32>(cost.operations, bytes + 12);
  qToLittleEndian<quint32>(cost.memory, bytes + 16);
  qToLittleEndian<quint32>(chunk, bytes + 20);
  randombytes_buf(bytes + 24, crypto_pwhash_SALTBYTES);
  unsigned char key[crypto_secretstream_xchacha20poly1305_KEYBYTES];
  const QByteArray password = kPassword.toUtf8();
  if (crypto_pwhash(key, sizeof key, password.constData(), password.size(), bytes + 24,
                    cost.operations, std::size_t{cost.memory} * 1024,
                    crypto_pwhash_ALG_ARGON2ID13) != 0)
    return {};
  crypto_secretstream_xchacha20poly1305_state state;
  crypto_secretstream_xchacha20poly1305_init_push(&state, bytes + 40, key);
  QByteArray sealed = header;
  for (qsizetype at = 0;;) {
    const qsizetype length = std::min<qsizetype>(chunk, plain.size() - at);
    const bool last = at + length == plain.size();
    QByteArray out(length + crypto_secretstream_xchacha20poly1305_ABYTES, '\0');
    crypto_secretstream_xchacha20poly1305_push(
        &state, reinterpret_cast<unsigned char*>(out.data()), nullptr,
        reinterpret_cast<const unsigned char*>(plain.constData()) + at, length,
        at == 0 ? bytes : nullptr, at == 0 ? kEncryptedHeaderSize : 0,
        last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL : 0);
    sealed += out;
    at += length;
    if (last) return sealed;
  }
}

SealError::Kind RefusalOf(const QByteArray& sealed) {
  try {
    OpenSealedFile(sealed, kPassword);
  } catch (const SealError& refused) {
    return refused.GetKind();
  }
  qFatal("opened");
}

bool Opens(const QByteArray& sealed, const QString& password, QByteArray* plain = nullptr) {
  try {
    const QByteArray opened = OpenSealedFile(sealed, password);
    if (plain) *plain = opened;
    return true;
  } catch (const StorageError&) {
    return false;
  }
}

}  // namespace

class TestEncryptedFiles : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR)); }

  void containerOpensToWhatWasSealed_data() {
    QTest::addColumn<QByteArray>("plain");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one chunk exactly") << QByteArray(65536, 'c');
    QTest::newRow("three chunks") << ThreeChunks();
  }
  void containerOpensToWhatWasSealed() {
    QFETCH(QByteArray, plain);
    const QByteArray sealed = SealFile(plain, kPassword, KeyCost::Least());
    // Header, then each chunk with its 17 bytes of tag and MAC.
    const int chunks = std::max(1, (static_cast<int>(plain.size()) + 65535) / 65536);
    QCOMPARE(sealed.size(), kEncryptedHeaderSize + plain.size() + chunks * 17);
    QByteArray opened;
    QVERIFY(Opens(sealed, kPassword, &opened));
    QCOMPARE(opened, plain);
    // A new salt and nonce every time: the same plain text never seals alike.
    const QByteArray again = SealFile(plain, kPassword, KeyCost::Least());
    QVERIFY(again.mid(24, crypto_pwhash_SALTBYTES) != sealed.mid(24, crypto_pwhash_SALTBYTES));
    QVERIFY(again.mid(40, 24) != sealed.mid(40, 24));
    QVERIFY(!Opens(sealed, QStringLiteral("kennwört-1")));
  }

  // The header other programs read: magic, version, key derivation and
  // cipher, the costs and the chunk size at their places, little-endian.
  void theHeaderIsLaidOutAsDocumented() {
    const KeyCost cost{3, 8192};
    const QByteArray sealed = SealFile("plain", kPassword, cost);
    const auto le32 = [&](int at) { return qFromLittleEndian<quint32>(sealed.constData() + at); };
    QCOMPARE(sealed.left(8), QByteArray("\x89"
                                        "CVDB\r\n\x1a"));
    QCOMPARE(qFromLittleEndian<quint16>(sealed.constData() + 8), quint16(1));
    QCOMPARE(int(sealed[10]), 1);
    QCOMPARE(int(sealed[11]), 1);
    QCOMPARE(le32(12), cost.operations);
    QCOMPARE(le32(16), cost.memory);
    QCOMPARE(le32(20), quint32(65536));
  }

  // The reader follows the chunk size a header gives, within bounds that
  // keep a hostile header from asking for gigabytes at once. The memory is
  // counted in KiB: 1 MiB tells a byte count that is off, which the least
  // cost's 8 KiB would round away.
  void containersOfOtherProgramsOpen() {
    const QByteArray plain = ThreeChunks();
    const KeyCost cost{1, 1024};
    for (const quint32 chunk : {1024u, 16u << 20}) {
      QByteArray opened;
      QVERIFY2(Opens(SealAsAnotherProgram(plain, chunk, cost), kPassword, &opened),
               qPrintable(QString::number(chunk)));
      QCOMPARE(opened, plain);
    }
    for (const quint32 chunk : {1023u, (16u << 20) + 1})
      QCOMPARE(RefusalOf(SealAsAnotherProgram(plain, chunk, cost)),
               SealError::kWrongPasswordOrDamaged);
  }

  // A slow derivation keeps the caller's progress moving, sealing and
  // opening alike.
  void aSlowKeyTicksWhileItIsDerived() {
    const KeyCost slow{2, 128 * 1024};
    int ticks = 0;
    const auto tick = [&ticks] { ++ticks; };
    QByteArray sealed;
    SealKey(kPassword, slow, tick).Seal("body", [&sealed](const char* data, qsizetype size) {
      sealed.append(data, size);
    });
    QVERIFY(ticks > 0);
    ticks = 0;
    QByteArray opened;
    OpenSealedFile(
        sealed, kPassword,
        [&opened](const char* data, qsizetype size) { opened.append(data, size); }, tick);
    QVERIFY(ticks > 0);
    QCOMPARE(opened, QByteArray("body"));
  }

  void everyChangedByteIsRefused() {
    const QByteArray sealed =
        SealFile(QByteArray("a small classic file"), kPassword, KeyCost::Least());
    for (int at = 0; at < sealed.size(); ++at) {
      for (const char mask : {'\x01', '\x80'}) {
        QByteArray changed = sealed;
        changed[at] = static_cast<char>(changed[at] ^ mask);
        QVERIFY2(!Opens(changed, kPassword), qPrintable(QString::number(at)));
      }
    }
  }

  void aCutOffOrLengthenedFileIsRefused() {
    const QByteArray small = SealFile(QByteArray("short"), kPassword, KeyCost::Least());
    for (int length = 0; length < small.size(); ++length)
      QVERIFY2(!Opens(small.left(length), kPassword), qPrintable(QString::number(length)));
    QVERIFY(!Opens(small + '\0', kPassword));
    // Cut at a chunk's end: what is left authenticates chunk by chunk, but
    // lacks the final one.
    const QByteArray large = SealFile(ThreeChunks(), kPassword, KeyCost::Least());
    const int chunk = 65536 + 17;
    for (const int length : {kEncryptedHeaderSize + chunk, kEncryptedHeaderSize + 2 * chunk})
      QVERIFY(!Opens(large.left(length), kPassword));
    // The two full chunks swapped.
    const QByteArray first = large.mid(kEncryptedHeaderSize, chunk);
    const QByteArray second = large.mid(kEncryptedHeaderSize + chunk, chunk);
    QVERIFY(!Opens(large.left(kEncryptedHeaderSize) + second + first +
                       large.mid(kEncryptedHeaderSize + 2 * chunk),
                   kPassword));
  }

  // A key cost beyond what this program writes, with a margin (10 passes,
  // 1 GiB), is refused as such before a key is derived from it; the bound
  // itself opens. Memory is set in the header (at byte 16): sealing at
  // 1 GiB would cost what the bound saves. Fuzz_encrypted skips such
  // headers, and meets the other bounds.
  void aCostBeyondTheBoundsIsRefused() {
    const std::uint32_t leastMemory = KeyCost::Least().memory;
    QVERIFY(Opens(SealFile(QByteArray("body"), kPassword, KeyCost{10, leastMemory}), kPassword));
    QByteArray patched = SealFile(QByteArray("body"), kPassword, KeyCost::Least());
    for (int i = 0; i < 4; ++i) patched[16 + i] = static_cast<char>((1024u * 1024 + 1) >> (8 * i));
    const std::pair<QByteArray, QString> refusals[] = {
        {SealFile(QByteArray("body"), kPassword, KeyCost{11, leastMemory}), "11 passes"},
        {patched, "over 1024 MiB"}};
    for (const auto& [sealed, reason] : refusals) {
      try {
        OpenSealedFile(sealed, kPassword);
        QFAIL("opened");
      } catch (const SealError& refused) {
        QCOMPARE(refused.GetKind(), SealError::kTooCostly);
        QVERIFY2(refused.Message().contains(reason), qPrintable(refused.Message()));
      }
    }
    test::SampleFiles files;
    const QString path = files.Path(QStringLiteral("costly.2db"));
    QVERIFY(WriteBytes(path, patched));
    CodePage codePage;
    QCOMPARE(ReadDatabaseFile(path, codePage, kPassword).fault, ReadOutcome::kTooCostly);
  }

  void anEncryptedDatabaseReadsBackWholeAndHidesItsTexts() {
    test::SampleFiles files;
    Database db = test::Locked(test::FullFormDatabase(), kPassword);
    db.Encrypted = true;
    const QString path = files.Path(QStringLiteral("sealed.2db"));
    CodePage codePage(QStringLiteral("windows-1252"));
    const WriteOutcome written = WriteDatabaseFile(db, path, codePage);
    QVERIFY2(written.ok, qPrintable(written.error));
    const QByteArray bytes = ReadBytes(path);
    QVERIFY(IsEncryptedDatabaseFile(path));
    // No text of the database in the file, as there is in the scrambled
    // one's known first words.
    QVERIFY(!bytes.contains(QByteArrayLiteral("Zw\xf6lf")));

    ReadOutcome read = ReadDatabaseFile(path, codePage, kPassword);
    QCOMPARE(read.status, ReadOutcome::kLoaded);
    QCOMPARE(StoredDifference(read.db, db), QString());
    // Merged into an open database, whose protection stays its own.
    Database merged = test::TinyDatabase();
    QCOMPARE(MergeDatabaseFile(merged, path, codePage, kPassword).status, ReadOutcome::kLoaded);
    QVERIFY(!merged.PasswordOn && !merged.Encrypted);
    QCOMPARE(ReadDatabaseFile(path, codePage, QString()).status, ReadOutcome::kNeedsPassword);

    // Switched off, the next save writes the classic protected file again;
    // without a password, encryption is not written at all.
    db.Encrypted = false;
    QVERIFY(WriteDatabaseFile(db, path, codePage).ok);
    read = ReadDatabaseFile(path, codePage, kPassword);
    QCOMPARE(read.header, kHeaderPassword);
    QVERIFY(!read.db.Encrypted);
    Database open = test::TinyDatabase();
    open.Encrypted = true;
    QVERIFY(WriteDatabaseFile(open, path, codePage).ok);
    QCOMPARE(ReadDatabaseFile(path, codePage, {}).header, kHeaderDefaultKey);
  }
};

QTEST_GUILESS_MAIN(TestEncryptedFiles)
#include "tst_encrypted_files.moc"
