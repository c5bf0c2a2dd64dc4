// Icons made from pictures, the image list with its fallbacks, the picker's cells.
#include <QTemporaryDir>
#include <QtTest>

#include "forms/icons/icon_image.h"
#include "forms/icons/icon_picker_layout.h"
#include "forms/icons/image_list.h"
#include "storage/picture_reader.h"

using namespace orbo;

namespace {

QImage Filled(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(colour);
  return image;
}

}  // namespace

class IconsTest : public QObject {
  Q_OBJECT

 private slots:
  // Each icon pixel is the truncated average of its block of source pixels;
  // odd sizes round the block edges, so blocks differ in size.
  void makeIcon16() {
    QImage odd(17, 33, QImage::Format_ARGB32);
    for (int y = 0; y < 33; ++y) {
      for (int x = 0; x < 17; ++x) odd.setPixel(x, y, qRgb(x * 15, y * 7, 100));
    }
    const QImage oddIcon = MakeIcon16(odd);
    QCOMPARE(oddIcon.pixel(7, 0), qRgb(112, 3, 100));      // columns 7-8, rows 0-1
    QCOMPARE(oddIcon.pixel(8, 0), qRgb(135, 3, 100));      // column 9 alone
    QCOMPARE(oddIcon.pixel(15, 15), qRgb(240, 220, 100));  // column 16, rows 31-32
    // A side below 16 leaves blocks empty: such pictures are scaled.
    QCOMPARE(MakeIcon16(Filled(8, 100, qRgb(1, 2, 3))).pixel(4, 4), qRgb(1, 2, 3));
  }

  void importedNames() {
    QTemporaryDir dir;
    const QDir folder(dir.path());
    int draws = 0;
    auto random = [&] { return ++draws == 1 ? 17 : 4242; };
    for (const char* taken : {"holiday.bmp", "17.bmp"})
      QFile(folder.filePath(taken)).open(QIODevice::WriteOnly);
    QCOMPARE(ImportedIconName("/pictures/holiday.jpg", folder, random), QString("4242.bmp"));
  }

  // A key with no readable picture gets the no-icon picture.
  void userIconsAndTheNoIconFallback() {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("usericons/Sub");
    QVERIFY(Filled(16, 16, qRgb(255, 0, 0)).save(dir.filePath("noico.bmp")));
    QVERIFY(Filled(16, 16, qRgb(0, 0, 255)).save(dir.filePath("usericons/Sub/blue.bmp")));
    QVERIFY(Filled(16, 16, qRgb(0, 255, 0)).save(dir.filePath("usericons/top.bmp")));
    QVERIFY(Filled(16, 16, qRgb(0, 255, 0)).save(dir.filePath("usericons/Sub/damaged.bmp")));
    QVERIFY(QFile::resize(dir.filePath("usericons/Sub/damaged.bmp"), 30));  // cut inside the header
    const IconFolders folders{dir.filePath("usericons"), dir.filePath("noico.bmp")};
    ImageList list;
    int lastShare = -1;
    LoadUserIcons(list, folders, [&](int share) { lastShare = share; });
    QCOMPARE(list.Count(), 2);  // nothing from top.bmp, which lies outside a subfolder
    QCOMPARE(list.Image("Sub\\blue.bmp").pixel(3, 3), qRgb(0, 0, 255));
    QCOMPARE(list.Image("Sub\\damaged.bmp").pixel(3, 3), qRgb(255, 0, 0));
    QCOMPARE(lastShare, 0);
  }

  void pickerCells() {
    QVERIFY(!PickerScrollRange(75).enabled);
    QCOMPARE(PickerScrollRange(76).maximum, 1);
    QCOMPARE(PickerCellOf(41, 1), QPoint(38, 19));
    QCOMPARE(PickerIconAt(19 * 19, 0, 0, 100), 0);  // right of the last column
    // Each of 95 icons in sight is found anywhere in its cell; the others nowhere.
    for (int firstRow = 0; firstRow < 3; ++firstRow) {
      for (int index = 1; index <= 100; ++index) {
        const QPoint cell = PickerCellOf(index, firstRow);
        const int found = index <= 95 && cell.y() >= 0 && cell.y() < 4 * 19 ? index : 0;
        for (QPoint at : {cell, cell + QPoint(18, 18)})
          QCOMPARE(PickerIconAt(at.x(), at.y(), firstRow, 95), found);
      }
    }
  }
};

QTEST_GUILESS_MAIN(IconsTest)
#include "tst_icons.moc"
