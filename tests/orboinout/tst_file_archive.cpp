// The file archive: its layout, round trips, and damaged or hostile input.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "../test_files.h"
#include "orboinout/orboinout.h"

namespace {

// The subfolder is stored only when its stored length is 2 or more.
QByteArray Entry(const QByteArray& subfolder, qsizetype stored, const QByteArray& name,
                 const QByteArray& content) {
  return Le32(static_cast<qint32>(stored)) + (stored >= 2 ? subfolder : QByteArray()) +
         Le32(static_cast<qint32>(name.size())) + name + Le32(static_cast<qint32>(content.size())) +
         content;
}

}  // namespace

class FileArchiveTest : public QObject {
  Q_OBJECT

 private slots:
  // Packing happens in s/, unpacking in t/; both hold a subfolder a/.
  void init() {
    dir_.reset(new QTemporaryDir);
    QVERIFY(dir_->isValid() && QDir(S()).mkpath("a") && QDir(T()).mkpath("a"));
  }

  // A failed test must not leave its archive open and fail the next one with OIO_ERR_BUSY.
  void cleanup() { oioCloseArh(); }

  // Failed adds, among good ones, leave the archive as if never tried.
  void packAndUnpack() {
    QCOMPARE(oioAddFile("top.txt", "\\"), OIO_ERR_NOT_OPEN);
    QCOMPARE(oioCloseArh(), OIO_ERR_NOT_OPEN);
    QCOMPARE(oioStartArh("x.oar", "/no/such/folder/"), OIO_ERR_OPEN);
    QVERIFY(QDir(S()).mkdir("docs"));
    QVERIFY(WriteBytes(S("top.txt"), "top level"));
    QVERIFY(WriteBytes(S("docs/inner.bin"), QByteArray("\0\1\2\3", 4)));
    QVERIFY(WriteBytes(S("empty.dat"), ""));
    QVERIFY(Start("pack.oar") >= 0);
    QCOMPARE(Start("other.oar"), OIO_ERR_BUSY);
    QCOMPARE(oioAddFile("top.txt", "\\"), OIO_OK);
    QCOMPARE(oioAddFile("missing", "\\"), OIO_ERR_OPEN);
    QCOMPARE(oioAddFile(QByteArray(500, 'n').constData(), "\\"), OIO_ERR_TOO_LONG);
    QCOMPARE(oioAddFile("top.txt", QByteArray(500, 's').constData()), OIO_ERR_TOO_LONG);
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

    QCOMPARE(Extract("pack.oar"), OIO_ERR_OPEN);
    QVERIFY(WriteBytes(T("pack.oar"), archive));
    QVERIFY(WriteBytes(T("top.txt"), "old content, overwritten"));
    QCOMPARE(Extract("pack.oar"), OIO_OK);
    QCOMPARE(ReadBytes(T("top.txt")), QByteArray("top level"));
    QCOMPARE(ReadBytes(T("docs/inner.bin")), QByteArray("\0\1\2\3", 4));
    QVERIFY(QFileInfo(T("empty.dat")).isFile());
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

  // The base folder is a path of this system, taken as it is; only the stored
  // subfolder separates folders with "\\".
  void baseFolderWithABackslash() {
    const QString base = dir_->filePath("in\\2024/");
    QVERIFY(QDir(dir_->path()).mkpath("in\\2024/docs") && QDir(dir_->path()).mkpath("in/2024"));
    QVERIFY(WriteBytes(base + "docs/a.txt", "packed"));
    QVERIFY(oioStartArh("b.oar", qPrintable(base)) >= 0);
    QCOMPARE(oioAddFile("a.txt", "docs\\"), OIO_OK);
    QCOMPARE(oioCloseArh(), OIO_OK);
    QCOMPARE(FilesIn(base), QStringList{"b.oar"});
    QVERIFY(QFile::remove(base + "docs/a.txt"));
    QCOMPARE(oioExtract("b.oar", qPrintable(base)), OIO_OK);
    QCOMPARE(ReadBytes(base + "docs/a.txt"), QByteArray("packed"));
    QVERIFY(QDir(dir_->filePath("in/2024")).isEmpty());
  }

  void damagedArchives_data() {
    QTest::addColumn<QByteArray>("tail");
    QTest::newRow("no terminator") << QByteArray();
    QTest::newRow("content beyond the file") << Le32(1) + Le32(1) + "b" + Le32(0x7FFFFFFF);
    QTest::newRow("subfolder too long")
        << Le32(5000) + QByteArray(5000, 's') + Le32(1) + "b" + Le32(1) + "x" + Le32(0);
  }

  void damagedArchives() {
    QFETCH(QByteArray, tail);
    QVERIFY(WriteBytes(T("d.oar"), Entry("", 1, "a.txt", "kept") + tail));
    QCOMPARE(Extract("d.oar"), OIO_ERR_DAMAGED);
    QCOMPARE(ReadBytes(T("a.txt")), QByteArray("kept"));
    QVERIFY(!QFile::exists(T("b")));
  }

  // Subfolders and names that could leave the target folder.
  void packerRefusesWhatTheExtractorSkips_data() {
    QTest::addColumn<QByteArray>("subfolder");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("parent subfolder") << QByteArray("..\\") << QByteArray("escaped");
    QTest::newRow("absolute subfolder") << QByteArray("/tmp/") << QByteArray("escaped");
    QTest::newRow("drive") << QByteArray("C:\\") << QByteArray("escaped");
    QTest::newRow("name with folder") << QByteArray("\\") << QByteArray("a/escaped");
    QTest::newRow("dot-dot name") << QByteArray("\\") << QByteArray("..");
    QTest::newRow("empty name") << QByteArray("\\") << QByteArray("");
  }

  void packerRefusesWhatTheExtractorSkips() {
    QFETCH(QByteArray, subfolder);
    QFETCH(QByteArray, name);
    // Files a lax packer would reach exist, so the refusal comes from the rule alone.
    QVERIFY(WriteBytes(dir_->filePath("escaped"), "outside"));
    QVERIFY(WriteBytes(S("a/escaped"), "in a folder"));
    QVERIFY(WriteBytes(S("fine"), "ok"));
    QVERIFY(Start("p.oar") >= 0);
    QCOMPARE(oioAddFile(name.constData(), subfolder.constData()), OIO_ERR_UNSAFE);
    QCOMPARE(oioAddFile("fine", "\\"), OIO_OK);
    QCOMPARE(oioCloseArh(), OIO_OK);
    QCOMPARE(ReadBytes(S("p.oar")), Entry("", 1, "fine", "ok") + Le32(0));

    QVERIFY(WriteBytes(T("h.oar"), Entry(subfolder, subfolder.size(), name, "evil") +
                                       Entry("", 1, "fine", "ok") + Le32(0)));
    QCOMPARE(Extract("h.oar"), OIO_ERR_UNSAFE);
    QCOMPARE(ReadBytes(T("fine")), QByteArray("ok"));
    QCOMPARE(ReadBytes(dir_->filePath("escaped")), QByteArray("outside"));
    QVERIFY(!QFile::exists("/tmp/escaped") && !QFile::exists(T("a/escaped")));
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
    QCOMPARE(ReadBytes(T("before")), QByteArray("1"));
    QCOMPARE(ReadBytes(T("sub/pack.oar")), QByteArray("3"));
  }

 private:
  // Paths in the packing and unpacking folders; without a name, the folder with a separator.
  QString S(const QString& name = {}) const { return dir_->filePath("s/" + name); }
  QString T(const QString& name = {}) const { return dir_->filePath("t/" + name); }
  qint32 Start(const char* archive) const { return oioStartArh(archive, qPrintable(S())); }
  qint32 Extract(const char* archive) const { return oioExtract(archive, qPrintable(T())); }

  std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_GUILESS_MAIN(FileArchiveTest)
#include "tst_file_archive.moc"
