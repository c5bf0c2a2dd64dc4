// The file archive: its layout, round trips, and damaged or hostile input.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "orboinout/orboinout.h"
#include "test_files.h"

namespace {

QByteArray Entry(const QByteArray& subfolder, qint32 storedLength, const QByteArray& name,
                 const QByteArray& content) {
  return Le32(storedLength) + (storedLength >= 2 ? subfolder : QByteArray()) +
         Le32(static_cast<qint32>(name.size())) + name + Le32(static_cast<qint32>(content.size())) +
         content;
}

// An entry as the packer stores it: a subfolder shorter than 2 characters is stored as 1.
QByteArray PackedEntry(const QByteArray& subfolder, const QByteArray& name,
                       const QByteArray& content) {
  qint32 stored = subfolder.size() >= 2 ? static_cast<qint32>(subfolder.size()) : 1;
  return Entry(subfolder, stored, name, content);
}

// Subfolders and names that could leave the target folder: the extractor skips them and the packer
// refuses them.
void AddUnsafeEntryRows() {
  QTest::addColumn<QByteArray>("subfolder");
  QTest::addColumn<QByteArray>("name");
  QTest::newRow("parent subfolder") << QByteArray("..\\") << QByteArray("escaped");
  QTest::newRow("parent inside subfolder") << QByteArray("a/../../") << QByteArray("escaped");
  QTest::newRow("absolute subfolder") << QByteArray("/tmp/") << QByteArray("escaped");
  QTest::newRow("backslash-absolute subfolder") << QByteArray("\\x\\") << QByteArray("escaped");
  QTest::newRow("drive") << QByteArray("C:\\") << QByteArray("escaped");
  QTest::newRow("parent name") << QByteArray("\\") << QByteArray("../escaped");
  QTest::newRow("name with backslash") << QByteArray("\\") << QByteArray("..\\escaped");
  QTest::newRow("name with folder") << QByteArray("\\") << QByteArray("a/escaped");
  QTest::newRow("name with folder, no subfolder") << QByteArray("") << QByteArray("a/escaped");
  QTest::newRow("colon in name") << QByteArray("\\") << QByteArray("a:escaped");
  QTest::newRow("dot-dot name") << QByteArray("\\") << QByteArray("..");
  QTest::newRow("empty name") << QByteArray("\\") << QByteArray("");
}

}  // namespace

class FileArchiveTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    source_.reset(new QTemporaryDir);
    target_.reset(new QTemporaryDir);
    QVERIFY(source_->isValid() && target_->isValid());
  }

  // A failed test must not leave its archive open and fail the next one with OIO_ERR_BUSY.
  void cleanup() { oioCloseArh(); }

  void emptyArchive() {
    QVERIFY(oioStartArh("empty.oar", Base()) >= 0);
    QCOMPARE(oioCloseArh(), OIO_OK);
    QCOMPARE(ReadBytes(source_->filePath("empty.oar")), Le32(0));
    QVERIFY(WriteBytes(target_->filePath("empty.oar"), Le32(0)));
    QCOMPARE(oioExtract("empty.oar", Target()), OIO_OK);
    QCOMPARE(QDir(target_->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 1);
  }

  void layoutAndRoundTrip() {
    QVERIFY(QDir(source_->path()).mkdir("docs"));
    QVERIFY(WriteBytes(source_->filePath("top.txt"), "top level"));
    QVERIFY(WriteBytes(source_->filePath("docs/inner.bin"), QByteArray("\0\1\2\3", 4)));
    QVERIFY(WriteBytes(source_->filePath("empty.dat"), ""));
    QVERIFY(WriteBytes(source_->filePath("flat.txt"), "flat"));

    QVERIFY(oioStartArh("pack.oar", Base()) >= 0);
    QCOMPARE(oioAddFile("top.txt", "\\"), OIO_OK);
    QCOMPARE(oioAddFile("inner.bin", "docs\\"), OIO_OK);
    QCOMPARE(oioAddFile("empty.dat", "x"), OIO_OK);
    QCOMPARE(oioAddFile("flat.txt", ""), OIO_OK);
    QCOMPARE(oioCloseArh(), OIO_OK);

    QByteArray archive = ReadBytes(source_->filePath("pack.oar"));
    QCOMPARE(archive, Entry("", 1, "top.txt", "top level") +
                          Entry("docs\\", 5, "inner.bin", QByteArray("\0\1\2\3", 4)) +
                          Entry("", 1, "empty.dat", "") +
                          // An empty subfolder is stored as 1, so the archive goes on.
                          Entry("", 1, "flat.txt", "flat") + Le32(0));

    QVERIFY(WriteBytes(target_->filePath("pack.oar"), archive));
    QVERIFY(WriteBytes(target_->filePath("top.txt"), "old content, overwritten"));
    QCOMPARE(oioExtract("pack.oar", Target()), OIO_OK);
    QCOMPARE(ReadBytes(target_->filePath("top.txt")), QByteArray("top level"));
    QCOMPARE(ReadBytes(target_->filePath("docs/inner.bin")), QByteArray("\0\1\2\3", 4));
    QVERIFY(QFile::exists(target_->filePath("empty.dat")));
    QCOMPARE(QFileInfo(target_->filePath("empty.dat")).size(), 0);
    QCOMPARE(ReadBytes(target_->filePath("flat.txt")), QByteArray("flat"));
  }

  void zeroSubfolderLengthEndsTheArchive() {
    QByteArray archive = Entry("", 1, "first", "1") + Entry("", 0, "hidden", "2") +
                         Entry("", 1, "after", "3") + Le32(0);
    QVERIFY(WriteBytes(target_->filePath("a.oar"), archive));
    QCOMPARE(oioExtract("a.oar", Target()), OIO_OK);
    QVERIFY(QFile::exists(target_->filePath("first")));
    QVERIFY(!QFile::exists(target_->filePath("after")));
  }

  void packingFailuresKeepTheArchiveWellFormed() {
    QCOMPARE(oioAddFile("a", "\\"), OIO_ERR_NOT_OPEN);
    QCOMPARE(oioCloseArh(), OIO_ERR_NOT_OPEN);
    QVERIFY(WriteBytes(source_->filePath("good"), "good"));

    QVERIFY(oioStartArh("p.oar", Base()) >= 0);
    QCOMPARE(oioStartArh("other.oar", Base()), OIO_ERR_BUSY);
    QCOMPARE(oioAddFile("missing", "\\"), OIO_ERR_OPEN);
    QCOMPARE(oioAddFile(QByteArray(500, 'n').constData(), "\\"), OIO_ERR_TOO_LONG);
    QCOMPARE(oioAddFile("good", QByteArray(500, 's').constData()), OIO_ERR_TOO_LONG);
    QCOMPARE(oioAddFile(QByteArray(480, 'n').constData(), QByteArray(30, 's').constData()),
             OIO_ERR_TOO_LONG);
    QCOMPARE(oioAddFile("good", "\\"), OIO_OK);
    QCOMPARE(oioCloseArh(), OIO_OK);
    QCOMPARE(ReadBytes(source_->filePath("p.oar")), Entry("", 1, "good", "good") + Le32(0));

    QCOMPARE(oioStartArh("x.oar", "/no/such/folder/"), OIO_ERR_OPEN);
    QCOMPARE(oioExtract("missing.oar", Target()), OIO_ERR_OPEN);
  }

  void damagedArchives_data() {
    QTest::addColumn<QByteArray>("tail");
    QTest::newRow("no terminator") << QByteArray();
    QTest::newRow("cut inside a name") << Le32(1) + Le32(10) + "abc";
    QTest::newRow("content longer than the file") << Le32(1) + Le32(1) + "b" + Le32(1000000);
    QTest::newRow("huge content size") << Le32(1) + Le32(1) + "b" + Le32(0x7FFFFFFF);
    QTest::newRow("negative content size") << Le32(1) + Le32(1) + "b" + Le32(-1);
    QTest::newRow("negative name length") << Le32(1) + Le32(-3);
    QTest::newRow("subfolder too long") << Le32(5000) + QByteArray(5000, 's');
  }

  void damagedArchives() {
    QFETCH(QByteArray, tail);
    QVERIFY(WriteBytes(target_->filePath("d.oar"), Entry("", 1, "a", "kept") + tail));
    QCOMPARE(oioExtract("d.oar", Target()), OIO_ERR_DAMAGED);
    QCOMPARE(ReadBytes(target_->filePath("a")), QByteArray("kept"));
    QVERIFY(!QFile::exists(target_->filePath("b")));
  }

  void entriesLeavingTheTargetAreRefused_data() { AddUnsafeEntryRows(); }

  void entriesLeavingTheTargetAreRefused() {
    QFETCH(QByteArray, subfolder);
    QFETCH(QByteArray, name);
    QTemporaryDir outer;
    QDir(outer.path()).mkpath("t/a");
    QString target = outer.filePath("t/");
    QByteArray archive =
        PackedEntry(subfolder, name, "evil") + Entry("", 1, "fine", "ok") + Le32(0);
    QVERIFY(WriteBytes(target + "h.oar", archive));
    QCOMPARE(oioExtract("h.oar", target.toLocal8Bit().constData()), OIO_ERR_UNSAFE);
    QCOMPARE(ReadBytes(target + "fine"), QByteArray("ok"));
    QVERIFY(!QFile::exists(outer.filePath("escaped")));
    QVERIFY(!QFile::exists("/tmp/escaped"));
    QVERIFY(!QFile::exists(target + "a/escaped"));
  }

  void packerRefusesWhatTheExtractorSkips_data() { AddUnsafeEntryRows(); }

  void packerRefusesWhatTheExtractorSkips() {
    QFETCH(QByteArray, subfolder);
    QFETCH(QByteArray, name);
    // Most files a lax packer would reach exist, so the refusal comes from the rule alone.
    QTemporaryDir outer;
    QDir(outer.path()).mkpath("t/a");
    QVERIFY(WriteBytes(outer.filePath("escaped"), "outside"));
    QVERIFY(WriteBytes(outer.filePath("t/a/escaped"), "in a folder"));
    QVERIFY(WriteBytes(outer.filePath("t/fine"), "ok"));
    QByteArray base = outer.filePath("t/").toLocal8Bit();

    QVERIFY(oioStartArh("p.oar", base.constData()) >= 0);
    QCOMPARE(oioAddFile(name.constData(), subfolder.constData()), OIO_ERR_UNSAFE);
    QCOMPARE(oioAddFile("fine", "\\"), OIO_OK);
    QCOMPARE(oioCloseArh(), OIO_OK);
    QByteArray archive = ReadBytes(outer.filePath("t/p.oar"));
    QCOMPARE(archive, Entry("", 1, "fine", "ok") + Le32(0));

    QVERIFY(WriteBytes(target_->filePath("p.oar"), archive));
    QCOMPARE(oioExtract("p.oar", Target()), OIO_OK);
    QCOMPARE(ReadBytes(target_->filePath("fine")), QByteArray("ok"));
  }

  // Writing the entry would truncate the archive being read, losing the entries after it.
  void entryNamingTheArchiveIsSkipped_data() {
    QTest::addColumn<QByteArray>("subfolder");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("same name") << QByteArray("\\") << QByteArray("pack.oar");
    QTest::newRow("current folder") << QByteArray(".\\") << QByteArray("pack.oar");
    QTest::newRow("link to the archive") << QByteArray("\\") << QByteArray("link.oar");
    QTest::newRow("link to the target") << QByteArray("loop\\") << QByteArray("pack.oar");
  }

  void entryNamingTheArchiveIsSkipped() {
    QFETCH(QByteArray, subfolder);
    QFETCH(QByteArray, name);
    // A file of the archive's name in another folder is no threat and is written.
    QByteArray archive = Entry("", 1, "before", "1") + PackedEntry(subfolder, name, "overwrite") +
                         Entry("sub\\", 4, "pack.oar", "3") + Le32(0);
    QVERIFY(WriteBytes(target_->filePath("pack.oar"), archive));
    QVERIFY(QFile::link(target_->filePath("pack.oar"), target_->filePath("link.oar")));
    QVERIFY(QFile::link(target_->path(), target_->filePath("loop")));

    QCOMPARE(oioExtract("pack.oar", Target()), OIO_ERR_UNSAFE);
    QCOMPARE(ReadBytes(target_->filePath("pack.oar")), archive);
    QCOMPARE(ReadBytes(target_->filePath("before")), QByteArray("1"));
    QCOMPARE(ReadBytes(target_->filePath("sub/pack.oar")), QByteArray("3"));
  }

  void unwritableTargetIsReported() {
    // The subfolder exists as a file, so nothing can be written below it.
    QVERIFY(WriteBytes(target_->filePath("sub"), "a file"));
    QByteArray archive = Entry("sub\\", 4, "x", "1") + Entry("", 1, "y", "2") + Le32(0);
    QVERIFY(WriteBytes(target_->filePath("u.oar"), archive));
    QCOMPARE(oioExtract("u.oar", Target()), OIO_ERR_WRITE);
    QCOMPARE(ReadBytes(target_->filePath("y")), QByteArray("2"));
  }

 private:
  const char* Base() {
    base_ = (source_->path() + "/").toLocal8Bit();
    return base_.constData();
  }
  const char* Target() {
    targetPath_ = (target_->path() + "/").toLocal8Bit();
    return targetPath_.constData();
  }

  std::unique_ptr<QTemporaryDir> source_;
  std::unique_ptr<QTemporaryDir> target_;
  QByteArray base_;
  QByteArray targetPath_;
};

QTEST_GUILESS_MAIN(FileArchiveTest)
#include "tst_file_archive.moc"
