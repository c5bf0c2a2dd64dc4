// Icons made from pictures, the image list with its fallbacks, and where the
// picker's icons sit.
#include <QTemporaryDir>
#include <QtTest>

#include "forms/icon_image.h"
#include "forms/picture_reader.h"
#include "forms/icon_picker_layout.h"
#include "forms/image_list.h"

using namespace orbo;

namespace {

QImage Filled(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(colour);
  return image;
}

// The average of a source block, written out plainly.
QRgb Average(const QImage& image, int x0, int x1, int y0, int y1) {
  int r = 0, g = 0, b = 0, n = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      QRgb p = image.pixel(x, y);
      r += qRed(p);
      g += qGreen(p);
      b += qBlue(p);
      ++n;
    }
  }
  return qRgba(r / n, g / n, b / n, 255);
}

}  // namespace

class IconsTest : public QObject {
  Q_OBJECT

 private slots:
  void smallPicturesAreAveragedInBlocks() {
    QImage source(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) source.setPixel(x, y, qRgb(x * 8, y * 8, (x + y) % 2 ? 255 : 0));
    }
    QImage icon = MakeIcon16(source);
    QCOMPARE(icon.size(), QSize(16, 16));
    for (int j = 0; j < 16; ++j) {
      for (int i = 0; i < 16; ++i) {
        QCOMPARE(icon.pixel(i, j), Average(source, 2 * i, 2 * i + 2, 2 * j, 2 * j + 2));
      }
    }
  }

  void oddSizesUseRoundedBlockEdges() {
    QImage source(17, 33, QImage::Format_ARGB32);
    for (int y = 0; y < 33; ++y) {
      for (int x = 0; x < 17; ++x) source.setPixel(x, y, qRgb(x * 15, y * 7, 100));
    }
    QImage icon = MakeIcon16(source);
    // Edges at Int(i * 17 / 16 + 0.5): column 7 covers 7..8, column 8 covers 9..9... up to 17.
    QCOMPARE(icon.pixel(7, 0), Average(source, 7, 9, 0, 2));
    QCOMPARE(icon.pixel(8, 0), Average(source, 9, 10, 0, 2));
    QCOMPARE(icon.pixel(15, 15), Average(source, 16, 17, 31, 33));
    QCOMPARE(icon.pixel(0, 1), Average(source, 0, 1, 2, 4));
  }

  void largeAndNarrowPicturesAreScaled() {
    QCOMPARE(MakeIcon16(Filled(1000, 800, qRgb(10, 200, 30))).pixel(5, 5), qRgb(10, 200, 30));
    QCOMPARE(MakeIcon16(Filled(8, 100, qRgb(1, 2, 3))).size(), QSize(16, 16));
  }

  void unreadablePicturesAreRefused() {
    QTemporaryDir dir;
    QFile damaged(dir.filePath("damaged.bmp"));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("BM this is no picture");
    damaged.close();
    QVERIFY(!ReadPicture(damaged.fileName()));
    QVERIFY(!ReadPicture(dir.filePath("missing.gif")));

    // A header that claims 60000 x 60000 pixels is refused before any pixel is read.
    QByteArray header("BM", 2);
    auto le32 = [&](qint32 v) { header.append(reinterpret_cast<const char*>(&v), 4); };
    auto le16 = [&](qint16 v) { header.append(reinterpret_cast<const char*>(&v), 2); };
    le32(54); le32(0); le32(54);
    le32(40); le32(60000); le32(60000); le16(1); le16(24); le32(0); le32(0); le32(0); le32(0); le32(0); le32(0);
    QFile huge(dir.filePath("huge.bmp"));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    huge.write(header);
    huge.close();
    QVERIFY(!ReadPicture(huge.fileName()));
  }

  void importedNames() {
    QTemporaryDir dir;
    int draws = 0;
    auto random = [&] { return ++draws == 1 ? 17 : 4242; };
    QCOMPARE(ImportedIconName("/pictures/holiday.jpg", QDir(dir.path()), random), QString("holiday.bmp"));
    QFile(dir.filePath("holiday.bmp")).open(QIODevice::WriteOnly);
    QCOMPARE(ImportedIconName("/pictures/holiday.jpg", QDir(dir.path()), random), QString("17.bmp"));
    QFile(dir.filePath("4242.bmp")).open(QIODevice::WriteOnly);
    QCOMPARE(ImportedIconName("/x/a.png", QDir(dir.path()), [] { return 4242; }), QString("a.bmp"));
  }

  void ensureIconFallsBackToTheNoIconPicture() {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("usericons/Sub");
    QVERIFY(Filled(16, 16, qRgb(255, 0, 0)).save(dir.filePath("noico.bmp")));
    QVERIFY(Filled(16, 16, qRgb(0, 0, 255)).save(dir.filePath("usericons/Sub/blue.bmp")));
    QVERIFY(Filled(16, 16, qRgb(0, 255, 0)).save(dir.filePath("usericons/top.bmp")));  // not in a subfolder
    const IconFolders folders{dir.filePath("usericons"), dir.filePath("noico.bmp")};

    ImageList list;
    list.Add("record", Filled(16, 16, qRgb(1, 1, 1)));
    EnsureIcon(list, folders, "missing key");
    QCOMPARE(list.Image("missing key").pixel(3, 3), qRgb(255, 0, 0));
    EnsureIcon(list, folders, "Sub\\blue.bmp");
    QCOMPARE(list.Image("Sub\\blue.bmp").pixel(3, 3), qRgb(0, 0, 255));
    EnsureIcon(list, folders, "record");
    QCOMPARE(list.Image("record").pixel(3, 3), qRgb(1, 1, 1));

    int lastShare = -1;
    LoadUserIcons(list, folders, [&](int share) { lastShare = share; });
    QCOMPARE(list.Count(), 3);  // nothing new: top.bmp lies outside a subfolder
    QCOMPARE(list.KeyAt(2), QString("Sub\\blue.bmp"));
    QCOMPARE(lastShare, 0);
  }

  void pickerCells() {
    QCOMPARE(PickerScrollRange(75).enabled, false);
    QCOMPARE(PickerScrollRange(76).enabled, true);
    QCOMPARE(PickerScrollRange(76).maximum, 1);
    QCOMPARE(PickerScrollRange(95).maximum, 2);
    QCOMPARE(PickerScrollRange(113).maximum, 2);

    QCOMPARE(PickerIconAt(0, 0, 0, 100), 1);
    QCOMPARE(PickerIconAt(18, 18, 0, 100), 1);
    QCOMPARE(PickerIconAt(19, 0, 0, 100), 2);
    QCOMPARE(PickerIconAt(18 * 19, 0, 0, 100), 19);
    QCOMPARE(PickerIconAt(19 * 19, 0, 0, 100), 0);  // right of the last column
    QCOMPARE(PickerIconAt(0, 19, 0, 100), 20);
    QCOMPARE(PickerIconAt(0, 3 * 19, 2, 100), 96);
    QCOMPARE(PickerIconAt(19, 3 * 19, 2, 95), 0);   // past the last icon
    QCOMPARE(PickerIconAt(0, 4 * 19, 0, 100), 0);   // below the visible rows
    QCOMPARE(PickerCellOf(20, 0), QPoint(0, 19));
    QCOMPARE(PickerCellOf(41, 1), QPoint(38, 19));
  }
};

QTEST_GUILESS_MAIN(IconsTest)
#include "tst_icons.moc"
