// The rules of drawing and editing records that need no widget: combo
// lists, stored file names, button requests, the quick list, scrolling a
// field into view.
#include <QTemporaryDir>
#include <QtTest>

#include "../test_files.h"
#include "forms/canvas/canvas_geometry.h"
#include "forms/editor/button_request.h"
#include "storage/data_path.h"
#include "storage/element_text.h"
#include "storage/element_values.h"
#include "storage/picture_reader.h"

using namespace orbo;

class CanvasLogicTest : public QObject {
  Q_OBJECT

 private slots:
  void comboItems_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("empty middle line") << "a\r\n\r\nb" << QStringList{"a", " ", "b"};
    QTest::newRow("trailing CR LF") << "a\r\n" << QStringList{"a", " "};
    QTest::newRow("nothing") << "" << QStringList{};
  }
  void comboItems() {
    QFETCH(QString, list);
    QTEST(ComboItems(list), "items");
  }

  // A part already in view moves nothing; one below or above moves the
  // canvas just enough; one taller than the view shows its start; the
  // value stays within the scroll bar's range.
  void scrollingAFieldIntoView() {
    QCOMPARE(ScrollValueShowing(1000, 1500, 3000, 0, 100), 0);
    QCOMPARE(ScrollValueShowing(5000, 5500, 3000, 0, 100), 14);
    QCOMPARE(ScrollValueShowing(5000, 5600, 3000, 0, 100), 14);
    QCOMPARE(ScrollValueShowing(5000, 5601, 3000, 0, 100), 15);
    QCOMPARE(ScrollValueShowing(1000, 1500, 3000, 20, 100), 6);
    QCOMPARE(ScrollValueShowing(0, 10000, 3000, 0, 100), 1);
    QCOMPARE(ScrollValueShowing(5000, 5500, 3000, 0, 10), 10);
    QCOMPARE(ScrollValueShowing(-500, 0, 3000, 5, 100), 0);
  }

  // Stored length counts a line break twice; an insertion is cut where the
  // room ends, never inside a line break.
  void fittingInsertions() {
    QCOMPARE(StoredLength("ab\ncd"), 6);
    QCOMPARE(StoredLength(QString("a") + QChar::ParagraphSeparator + "b" + QChar::LineSeparator),
             6);
    QCOMPARE(FittingInsertion("ab\r\ncd", 3), QString("ab"));
    QCOMPARE(FittingInsertion("ab\r\ncd", 4), QString("ab\n"));
    QCOMPARE(FittingInsertion("a\rb", 10), QString("a\nb"));
    QCOMPARE(FittingInsertion("abc", -5), QString());
  }

  // A file below the database's folder is stored relative to it and found
  // again after the folder moved; one elsewhere keeps its full path.
  void storedFileNames() {
    QTemporaryDir first;
    QVERIFY(WriteBytes(first.filePath("pics/cat.jpg"), "x"));
    const QString database = first.filePath("pets.2db");
    QCOMPARE(MakeRelativePath(first.filePath("pics/cat.jpg"), database),
             QString("\\pics\\cat.jpg"));
    QCOMPARE(MakeRelativePath("/elsewhere/dog.jpg", database), QString("/elsewhere/dog.jpg"));
    QCOMPARE(MakeRelativePath(first.filePath("pics/cat.jpg"), "noname"),
             first.filePath("pics/cat.jpg"));

    QTemporaryDir moved;
    QVERIFY(WriteBytes(moved.filePath("pics/cat.jpg"), "x"));
    QCOMPARE(ResolveDataPath("\\pics\\cat.jpg", moved.filePath("pets.2db")),
             moved.filePath("pics/cat.jpg"));
    // A full path of this system that is not below the folder stays full.
    QCOMPARE(ResolveDataPath(first.filePath("pics/cat.jpg"), moved.filePath("pets.2db")),
             first.filePath("pics/cat.jpg"));
    // A "\\" in the database's own folder is part of that folder's name.
    const QString odd = moved.filePath("docs\\2024/pets.2db");
    QCOMPARE(MakeRelativePath(moved.filePath("docs\\2024/pics/cat.jpg"), odd),
             QString("\\pics\\cat.jpg"));
    QCOMPARE(ResolveDataPath("\\pics\\cat.jpg", odd), moved.filePath("docs\\2024/pics/cat.jpg"));
  }

  // Only what an action claims to open goes to the desktop.
  void buttonRequests() {
    QTemporaryDir dir;
    QVERIFY(WriteBytes(dir.filePath("song.wav"), "x"));
    const QString database = dir.filePath("db.2db");
    const auto kind = [&](int action, const QString& value) {
      return ButtonClickRequest(action, value, database).kind;
    };
    QCOMPARE(kind(kSendMail, ""), ButtonRequest::kNothing);
    QCOMPARE(kind(kSendMail, "no address"), ButtonRequest::kRefused);
    QCOMPARE(ButtonClickRequest(kSendMail, "ann@example.com", database).url,
             QUrl("mailto:ann@example.com"));
    QCOMPARE(ButtonClickRequest(kOpenAddress, "https://example.com/x", database).url,
             QUrl("https://example.com/x"));
    QCOMPARE(kind(kOpenAddress, "\\missing.txt"), ButtonRequest::kRefused);
    QCOMPARE(kind(kOpenFile, "\\gone.pdf"), ButtonRequest::kRefused);
    QCOMPARE(ButtonClickRequest(kOpenFile, "\\song.wav", database).url,
             QUrl::fromLocalFile(dir.filePath("song.wav")));
    QCOMPARE(kind(kNextRecordAction, ""), ButtonRequest::kNextRecord);
    QCOMPARE(kind(9, "anything"), ButtonRequest::kNothing);
  }

  // Distinct values of the slot in the other records of the form, in record order.
  void quickList() {
    Database db;
    SetCount(db, kFormsKind, 2);
    SetCount(db, kFoldersKind, 1);
    const std::vector<std::pair<int, QString>> records = {{0, "b"}, {0, "a"},     {1, "x"},
                                                          {0, "b"}, {0, "shown"}, {0, "c"}};
    SetCount(db, kRecordsKind, static_cast<std::int16_t>(records.size() + 1));
    for (std::size_t r = 0; r < records.size(); ++r) {
      db.Records[r].Form = static_cast<std::int16_t>(records[r].first);
      db.Records[r].TextValue[1] = records[r].second;
    }
    db.Records[records.size()].Folder = BufferFolder;
    db.Records[records.size()].TextValue[1] = "free";
    QCOMPARE(QuickListValues(db, 4, 0, 1), (QStringList{"b", "a", "c"}));
  }

  // A picture larger than the screen is read scaled.
  void picturesAreReadWithinBounds() {
    QTemporaryDir dir;
    QImage wide(kLargestPictureSide * 2, 10, QImage::Format_RGB32);
    wide.fill(Qt::red);
    QVERIFY(wide.save(dir.filePath("wide.png")));
    const std::optional<QImage> read = ReadPicture(dir.filePath("wide.png"));
    QVERIFY(read);
    QCOMPARE(read->width(), kLargestPictureSide);
  }
};

QTEST_GUILESS_MAIN(CanvasLogicTest)
#include "tst_canvas_logic.moc"
