// Printing without windows: the wrapped-text layout with a made-up font,
// the print sets and their list, the preview's offset arithmetic, and a
// stopped PDF job.
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>

#include "../test_files.h"
#include "query/print/pages/page_renderer.h"
#include "query/print/pages/print_job.h"
#include "query/print/pages/print_sets.h"
#include "query/print/preview_geometry.h"
#include "sample_databases.h"
#include "shell/language_texts.h"
#include "storage/text_wrap.h"

using namespace orbo;

namespace {

// Every character 100 twips wide, lines 200 twips apart, 10 more at a break.
const WrapMetrics kMono{[](const QString& s) { return static_cast<int>(s.size()) * 100; }, 200, 10};

// The layout as first written: the candidate line grows one character at a
// time and is measured whole at every step. The faster search must place
// every line where this does.
std::vector<PlacedLine> WrapOneByOne(const QString& text, int x, int y, int width, int alignment,
                                     const WrapMetrics& metrics) {
  std::vector<PlacedLine> lines;
  if (text.isEmpty()) return lines;
  auto output = [&](const QString& line) {
    const int lineWidth = metrics.widthOf(line);
    const int at = alignment == kAlignLeft    ? x
                   : alignment == kAlignRight ? x + width - lineWidth
                                              : x + width / 2 - lineWidth / 2;
    if (alignment >= kAlignLeft && alignment <= kAlignCentre) lines.push_back({line, at, y});
    y += metrics.lineAdvance;
  };
  qsizetype start = 0;
  qsizetype length = 0;
  while (start + length < text.size()) {
    const QString candidate = text.mid(start, ++length);
    if (candidate.endsWith(u'\r')) {
      y += metrics.breakGap;
      output(candidate.chopped(1));
      start += length;
      if (start < text.size() && text[start] == u'\n') ++start;
      length = 0;
    } else if (length > 1 && metrics.widthOf(candidate) > width) {
      const qsizetype blank = candidate.lastIndexOf(u' ', length - 2);
      const qsizetype kept = blank >= 0 ? blank + 1 : length - 1;
      output(candidate.left(kept));
      y += metrics.breakGap;
      start += kept;
      length = 0;
    }
  }
  output(text.mid(start, length));
  return lines;
}

QStringList Placed(const std::vector<PlacedLine>& lines) {
  QStringList placed;
  for (const PlacedLine& line : lines)
    placed << QStringLiteral("%1@%2,%3").arg(line.text).arg(line.x).arg(line.y);
  return placed;
}

}  // namespace

class PrintLogicTest : public QObject {
  Q_OBJECT

 private slots:
  // Random texts of letters, blanks, CR and LF in random boxes break where
  // the character-by-character layout breaks them: with the made-up font
  // and with one whose pairs kern, as real fonts do.
  void wrapTextAsOneByOne() {
    // Every letter 90 twips, 30 less after a "W", as a kerned pair would.
    const WrapMetrics kerned{[](const QString& s) {
                               int twips = 0;
                               for (qsizetype i = 0; i < s.size(); ++i)
                                 twips += i > 0 && s[i - 1] == u'W' ? 60 : 90;
                               return twips;
                             },
                             200, 10};
    const QString alphabet = QStringLiteral("aaaaiiiiWWmm    \r\n.é");
    QRandomGenerator random(26);
    for (const WrapMetrics* metrics : {&kMono, &kerned}) {
      for (int round = 0; round < 1500; ++round) {
        QString text;
        const int size = random.bounded(random.bounded(2) ? 40 : 400);
        const int blankEvery = 1 + random.bounded(60);
        for (int i = 0; i < size; ++i) {
          text +=
              random.bounded(blankEvery) == 0 ? u' ' : alphabet[random.bounded(alphabet.size())];
        }
        const int width = random.bounded(3) == 0 ? random.bounded(300) : random.bounded(6000);
        const int alignment = random.bounded(4);
        QCOMPARE(Placed(WrapText(text, 40, 70, width, alignment, *metrics)),
                 Placed(WrapOneByOne(text, 40, 70, width, alignment, *metrics)));
      }
    }
  }

  // A long text without blanks: the characters measured grow with the
  // characters placed, not with their square.
  void wrapMeasuresInProportion() {
    qsizetype measured = 0;
    const WrapMetrics counting{[&](const QString& s) {
                                 measured += s.size();
                                 return static_cast<int>(s.size()) * 100;
                               },
                               200, 10};
    for (int size : {10000, 100000}) {
      measured = 0;
      QString text;
      for (int i = 0; i < size; ++i) text += QChar(u'a' + i % 26);
      const std::vector<PlacedLine> lines = WrapText(text, 0, 0, 30000, kAlignLeft, counting);
      QCOMPARE(lines.size(), std::size_t(size / 300 + (size % 300 ? 1 : 0)));
      QVERIFY2(measured <= 8 * size, qPrintable(QString::number(measured)));
    }
  }

  // Lines stop once the text holds 1000 characters; "..." ends it.
  void printTextCap() {
    Database db = test::ExampleDatabase();
    db.Records[0].TextValue[0] = QString(90, u'x');
    const std::vector<int> order(40, 0);
    const QString text = PrintListText(db, order, "H");
    QVERIFY(text.endsWith("\r\n..."));
    const QString listed = text.chopped(5);
    QVERIFY(listed.size() >= kPrintTextCap);
    QVERIFY(listed.size() - listed.lastIndexOf("\r\n") < kPrintTextCap);
    QVERIFY(listed.endsWith(QString("\r\n11. ") + QString(90, u'x')));
  }

  // Free slots (folder -100) print in no set, even those of the shown
  // record's form that are marked.
  void freeSlotsInNoSet() {
    Database db = test::FreeSlotDatabase();
    db.RecordMarks.assign(db.Records.size(), true);
    for (int set = 0; set < kPrintSetCount; ++set) {
      for (int folder : {0, 1})
        for (int record : PrintList(db, set, 2, folder))
          QVERIFY2(db.Records[record].Folder != BufferFolder, qPrintable(QString::number(set)));
    }
    QCOMPARE(PrintList(db, kFormSet, 2, 0), (std::vector<int>{0, 2, 3, 5, 6}));
    QVERIFY(PrintList(db, kShownRecordSet, 1, 0).empty());
    QVERIFY(PrintList(db, kFormSet, -1, 0).empty());
  }

  // On a page shown at half its width a drag counts twice, in twips; drags
  // up or left may make the offsets negative, and the sum holds at the
  // stored range.
  void draggedOffset() {
    // 12000 twips shown 400 pixels wide: half of its 800 screen pixels.
    QCOMPARE(ShownPageSize(QSizeF(12000, 16000), kStandardTwipsPerPixel, 0.5), QSize(400, 533));
    QCOMPARE(DraggedOffset(200, 10, 12000, 400), 500);
    QCOMPARE(DraggedOffset(200, -20, 12000, 400), -400);
    const int most = std::numeric_limits<int>::max();
    QCOMPARE(DraggedOffset(most - 5, 10, 12000, 400), most);
  }

  // A job told to stop after its second page ends there and leaves the
  // older file whole, with nothing beside it.
  void stoppedPdf() {
    const Database db = test::FreeSlotDatabase();
    QTemporaryDir dir;
    const QString path = dir.filePath("pages.pdf");
    QVERIFY(WriteBytes(path, "older pages"));
    QList<int> told;
    QString error;
    const PageDone stopAtTwo = [&](int page) {
      told << page;
      return page < 2;
    };
    QCOMPARE(WritePdf(path, DefaultPdfLayout(), PageRenderer(db), {0, 3, 5}, error, stopAtTwo),
             JobEnd::kStopped);
    QCOMPARE(told, (QList<int>{1, 2}));
    QVERIFY(error.isEmpty());
    QCOMPARE(ReadBytes(path), QByteArray("older pages"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"pages.pdf"});
  }
};

QTEST_MAIN(PrintLogicTest)
#include "tst_print_logic.moc"
