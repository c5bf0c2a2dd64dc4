// The Jet 4 writer: golden bytes of the header and of an index page, the
// index tree's structure, and generated files read back with the mdbtools
// commands and compared with what was written.
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "../test_files.h"
#include "query/access/jet4/column_fit.h"
#include "query/access/jet4/data_pages.h"
#include "query/access/jet4/database_image.h"
#include "query/access/jet4/general_sort_codes.h"
#include "query/access/jet4/header_page.h"
#include "query/access/jet4/index_keys.h"
#include "query/access/jet4/index_tree.h"
#include "query/access/jet4/jet4_writer.h"
#include "query/access/jet4/long_values.h"
#include "query/access/jet4/names.h"
#include "query/access/jet4/row_encoding.h"
#include "query/access/jet4/system_tables.h"
#include "query/access/jet4/text_encoding.h"

using namespace orbo::jet4;

namespace {

constexpr double kExampleDate = 46362.5;  // 2026-12-06 12:00

QByteArray Hex(const char* text) { return QByteArray::fromHex(QByteArray(text)); }

quint32 U32(const char* at) { return qFromLittleEndian<quint32>(at); }
int U16(const char* at) { return qFromLittleEndian<quint16>(at); }

QByteArray PageOf(const QByteArray& image, int page) {
  return image.mid(static_cast<qsizetype>(page) * kPageSize, kPageSize);
}

// Row `row` of a data page, from its offset to where the previous row starts.
QByteArray RowOf(const QByteArray& page, int row) {
  const int start = U16(page.constData() + 14 + 2 * row) & 0x1FFF;
  const int end = row == 0 ? kPageSize : U16(page.constData() + 12 + 2 * row) & 0x1FFF;
  return page.mid(start, end - start);
}

// The entries of an index page, cut where the bitmap marks their ends.
QList<QByteArray> PageEntries(const char* page) {
  QList<QByteArray> entries;
  int start = 0;
  for (int bit = 1; bit <= kPageSize - kIndexEntriesStart; ++bit) {
    if (!(page[0x1B + bit / 8] & 1 << (bit % 8))) continue;
    entries << QByteArray(page + kIndexEntriesStart + start, bit - start);
    start = bit;
  }
  return entries;
}

// The example table: Cyrillic name, a compressed and a plain Text value, an
// inline and a chained memo, both Boolean values.
Table ExampleTable() {
  return {
      QStringLiteral("Карточки"),
      {{QStringLiteral("Root"), ColumnType::Text},
       {QStringLiteral("Note ID:23"), ColumnType::Memo},
       {QStringLiteral("Done ID:50"), ColumnType::Boolean}},
      {
          {{QStringLiteral("Папка 1")}, {QStringLiteral("Short memo, ASCII")}, {{}, true}},
          {{QStringLiteral("Root ü é")}, {QStringLiteral("Привет, мир! Ünïcödé €")}, {{}, false}},
          {{QStringLiteral(" ")},
           {QStringLiteral("абвгдежзий0123456789").repeated(250)},
           {{}, true}},
      }};
}

// Counts each page a 69-byte usage-map row lists.
void CountListed(const QByteArray& image, const char* map, std::vector<int>& listed) {
  auto count = [&](const char* bitmap, int bits, quint32 start) {
    for (int bit = 0; bit < bits; ++bit)
      if (bitmap[bit / 8] & 1 << (bit % 8)) ++listed.at(start + bit);
  };
  if (map[0] == 0) return count(map + 5, 512, U32(map + 1));
  constexpr int kBits = (kPageSize - 4) * 8;
  for (int k = 0; k < 17; ++k)
    if (const quint32 page = U32(map + 1 + 4 * k))
      count(image.constData() + page * kPageSize + 4, kBits, k * kBits);
}

// What mdbtools does not check: free-space fields and row counts of data
// pages; data and LVAL pages listed twice (owned and free-space maps), index
// pages once, nothing else; the global map marks exactly the file's pages used.
void CheckStructure(const QByteArray& image) {
  const int pageCount = static_cast<int>(image.size() / kPageSize);
  std::vector<int> listed(pageCount + 512);
  for (int p = 0; p < pageCount; ++p) {
    const QByteArray page = PageOf(image, p);
    if (page[0] != 0x01) continue;
    const int rows = U16(page.constData() + 12);
    int used = 0;
    for (int r = 0; r < rows; ++r) used += static_cast<int>(RowOf(page, r).size());
    QCOMPARE(U16(page.constData() + 2), kPageSize - 14 - 2 * rows - used);
    if (U32(page.constData() + 4) != 0) continue;
    for (int r = 0; r < rows; ++r) CountListed(image, RowOf(page, r).constData(), listed);
  }
  for (int p = 0; p < pageCount; ++p) {
    const char* page = image.constData() + p * kPageSize;
    const bool dataPage = page[0] == 0x01 && U32(page + 4) > 1;
    const bool indexPage = page[0] == 0x03 || page[0] == 0x04;
    QCOMPARE(listed[p], dataPage ? 2 : indexPage ? 1 : 0);
  }
  const char* global = image.constData() + kPageSize + U16(image.constData() + kPageSize + 14);
  const quint32 start = U32(global + 1);
  for (int bit = 0; bit < 512; ++bit)
    QCOMPARE(bool(global[5 + bit / 8] & 1 << (bit % 8)), start + bit >= quint32(pageCount));
}

// --- the mdbtools commands ---

QString Tool(const char* name) { return QStandardPaths::findExecutable(QString::fromLatin1(name)); }

QString Run(const char* name, const QStringList& arguments) {
  QProcess process;
  process.start(Tool(name), arguments);
  process.waitForFinished(60000);
  if (process.exitCode() != 0) qWarning() << name << process.readAllStandardError();
  return QString::fromUtf8(process.readAllStandardOutput());
}

// The header and rows mdb-export gives, cut at separators no value holds, so
// quotes, commas and line breaks come through unchanged.
std::vector<QStringList> Exported(const QString& path, const QString& table) {
  QStringList rows =
      Run("mdb-export", {"-Q", "-d", "\x1f", "-R", "\x1e", path, table}).split(u'\x1e');
  rows.removeLast();  // behind the last separator
  std::vector<QStringList> records;
  for (const QString& row : rows) records.push_back(row.split(u'\x1f'));
  return records;
}

// Writes the tables and checks every command's view of the file against
// them.
void CheckWithMdbTools(const std::vector<Table>& tables) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("out.mdb"));
  Error error;
  QVERIFY2(WriteDatabase(path, tables, &error), qPrintable(error.text));
  const QByteArray image = ReadBytes(path);
  QVERIFY(!image.isEmpty());
  CheckStructure(image);
  if (QTest::currentTestFailed()) return;

  std::vector<QString> requested;
  for (const Table& table : tables) requested.push_back(table.name);
  const std::vector<QString> names = AcceptableTableNames(requested);
  const QStringList listed =
      Run("mdb-tables", {QStringLiteral("-1"), path}).split(u'\n', Qt::SkipEmptyParts);
  QCOMPARE(listed, QStringList(names.begin(), names.end()));

  for (std::size_t t = 0; t < tables.size(); ++t) {
    const Table& table = tables[t];
    std::vector<QString> requestedColumns;
    for (const Column& column : table.columns) requestedColumns.push_back(column.name);
    const std::vector<QString> columns = AcceptableColumnNames(requestedColumns);
    QCOMPARE(Run("mdb-count", {path, names[t]}).trimmed().toULongLong(), table.rows.size());
    const std::vector<QStringList> exported = Exported(path, names[t]);
    QCOMPARE(exported.size(), table.rows.size() + 1);
    QCOMPARE(exported[0], QStringList(columns.begin(), columns.end()));
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
      QStringList expected;
      for (std::size_t c = 0; c < columns.size(); ++c)
        expected << (table.columns[c].type == ColumnType::Boolean
                         ? QString::number(table.rows[r][c].flag ? 1 : 0)
                         : table.rows[r][c].text);
      QCOMPARE(exported[r + 1], expected);
    }
  }
}

// Values from pieces that each stress one thing: compression, UCS-2,
// CSV quoting, blanks, lengths around the inline and single-row limits.
QString RandomText(QRandomGenerator& random) {
  static const QStringList kPieces = {"a",  "Zürich ", "Привет",      "€",   "\"q\"",
                                      ", ", " ",       "line\nbreak", "ё'-", "0123456789"};
  static const int kLengths[] = {0, 1, 2, 3, 30, 64, 255, 256, 1024, 1025, 2100, 4100, 9000};
  const int length = kLengths[random.bounded(static_cast<int>(std::size(kLengths)))];
  QString text;
  while (text.size() < length) text += kPieces[random.bounded(kPieces.size())];
  return text.left(length);
}

Table RandomTable(QRandomGenerator& random, const QString& name) {
  static const QStringList kColumnNames = {"Root", "root",  "Note ID:23", QString(),
                                           "a.b",  " lead", "Имя",        "x[1]!`"};
  Table table;
  table.name = name;
  const int columnCount = 1 + random.bounded(8);
  for (int c = 0; c < columnCount; ++c)
    table.columns.push_back(
        {kColumnNames[random.bounded(kColumnNames.size())],
         static_cast<ColumnType>(std::array{0x01, 0x0A, 0x0C}[random.bounded(3)])});
  const int rowCount = random.bounded(2) ? random.bounded(4) : random.bounded(300);
  for (int r = 0; r < rowCount; ++r) {
    std::vector<Cell> row;
    for (int c = 0; c < columnCount; ++c)
      row.push_back({RandomText(random), random.bounded(2) == 1});
    table.rows.push_back(row);
  }
  return table;
}

}  // namespace

class TestJet4Writer : public QObject {
  Q_OBJECT

 private slots:
  void headerMaskAndFields() {
    const QByteArray keystream = HeaderMaskKeystream();
    QCOMPARE(OleDate(QDateTime(QDate(2026, 12, 6), QTime(12, 0))), kExampleDate);
    const QByteArray page = HeaderPage(kExampleDate);
    QCOMPARE(page.mid(0x18, 8), Hex("B56E03626009C255"));
    QByteArray unmasked = page;
    for (int i = 0; i < keystream.size(); ++i)
      unmasked[0x18 + i] = static_cast<char>(unmasked[0x18 + i] ^ keystream[i]);
    // What mdbtools does not read: code page 1252, the General sort order,
    // the creation date.
    QCOMPARE(unmasked.mid(0x3C, 2), Hex("E404"));
    QCOMPARE(unmasked.mid(0x6E, 2), Hex("0904"));
    QCOMPARE(unmasked.mid(0x72, 8), Hex("0000000050A3E640"));
  }

  void textCompressionRule() {
    QCOMPARE(EncodeText(u"ab", true), Hex("61006200"));
    QCOMPARE(EncodeText(u"abc", true), Hex("FFFE616263"));
    QCOMPARE(EncodeText(QString(1024, u'x'), true).size(), 1026);
    QCOMPARE(EncodeText(QString(1025, u'x'), true).size(), 2050);
  }

  void keyCodes() {
    QCOMPARE(LongKey(std::numeric_limits<std::int32_t>::min()), Hex("7F00000000"));
    QCOMPARE(TextKey(u"e\u0301"), TextKey(u"é"));
    // A mark with no letter before it takes no place from the hyphen after it.
    QCOMPARE(TextKey(u"\u0301-x").right(5), TextKey(u"-x").right(5));
    // Accents after the text section, apostrophe and hyphen with their places last.
    QCOMPARE(TextKey(u"é-ü'x"), Hex("7F 516F75 01 0E13 010101 800B0682 800F0680 00"));
    // Every accent is one byte, and the accent section ends with an accent:
    // none is as low as the padding byte 02 that stands for "no accent"
    // before an accented character.
    for (int c = 0; c <= 0xFFFF; ++c) {
      const CharCode* code = GeneralSortCode(static_cast<char16_t>(c));
      if (!code || (code->kind != CodeKind::Accented && code->kind != CodeKind::Mark)) continue;
      QCOMPARE(code->extra.size(), 1);
      QVERIFY(code->kind == CodeKind::Mark || static_cast<unsigned char>(code->extra[0]) > 2);
    }
  }

  // Keys ascend as the General order compares texts: first the letters
  // regardless of case and accent (blank, digits, Latin, Cyrillic; "ё" is "е"
  // with a diaeresis, "й" a letter of its own), then the accents letter by
  // letter, then where apostrophes and hyphens stand. A mark before any
  // letter still counts.
  void keysSortLikeGeneralOrder() {
    const QStringList ascending = {"",   " ",   "0",   "9",  "a",  "á", "à",
                                   "ab", "a'b", "a-b", "áb", "b",  "z", "\u0301z",
                                   "а",  "е",   "ё",   "и",  "ио", "й", "я"};
    for (int i = 1; i < ascending.size(); ++i)
      QVERIFY2(TextKey(ascending[i - 1]) < TextKey(ascending[i]), qPrintable(ascending[i]));
    QCOMPARE(TextKey(u"ÁB-Ё"), TextKey(u"áb-ё"));
  }

  // The tables and rows are read back by the mdbtools commands
  // (tablesReadBack), the tree by indexTreeStructure; here the bytes of the
  // Id index leaf over the catalog: its header and first entries.
  void catalogIndexLeafBytes() {
    const QByteArray leaf =
        PageOf(BuildDatabaseImage({ExampleTable()}, kExampleDate)->Contents(), 13);
    QCOMPARE(leaf.left(8), Hex("0401CF0D02000000"));
    QCOMPARE(leaf.mid(0x1E0, 18), Hex("7F 80 00 00 02 00 00 07 04 7F 80 00 00 03 00 00 07 05"));
  }

  // A row takes its bytes and a 2-byte offset: one that leaves the page
  // exactly full stays on it, one byte more starts the next page.
  void rowsFillADataPageExactly() {
    for (const int spare : {0, 1}) {
      PageFile file;
      DataPageWriter writer(file, kLongValueOwner);
      const RowPointer first = writer.Add(QByteArray(1000, 'a'));
      const int free = DataPageFreeSpace(file.Page(first.page));
      const RowPointer last = writer.Add(QByteArray(free - 2 + spare, 'b'));
      QCOMPARE(QByteArray(file.Page(first.page), 2), QByteArray("\x01\x01"));
      QCOMPARE(last.page == first.page, spare == 0);
      QCOMPARE(DataPageFreeSpace(file.Page(last.page)),
               spare == 0 ? 0 : kMaxRowOnPage - (free - 1));
    }
  }

  // Fixed values sit little-endian at their column's offset after the column
  // count; no variable column leaves no offset table, one leaves one; the
  // null mask marks the values present.
  void fixedValuesAtTheirOffsets() {
    const std::vector<ColumnDef> columns{{"b", JetType::Byte},
                                         {"i", JetType::Integer},
                                         {"l", JetType::Long},
                                         {"c", JetType::Currency},
                                         {"d", JetType::DateTime}};
    const TableLayout layout = LayOut(columns);
    const std::vector<Value> values{std::int64_t(0x7F), std::int64_t(0x1234),
                                    std::int64_t(0x12345678), std::int64_t(0x0102030405060708),
                                    2.5};
    PageFile file;
    LongValueWriter longValues(file, 2);
    const QByteArray row = EncodeRow(layout, values, longValues);
    QCOMPARE(row.size(), RowOverhead(layout));
    QCOMPARE(row.size(), 2 + 1 + 2 + 4 + 8 + 8 + 1);
    const auto at = [&](int column, int size) {
      return row.mid(2 + layout.places[column].fixedOffset, size).toHex();
    };
    QCOMPARE(at(0, 1), QByteArray("7f"));
    QCOMPARE(at(1, 2), QByteArray("3412"));
    QCOMPARE(at(2, 4), QByteArray("78563412"));
    QCOMPARE(at(3, 8), QByteArray("0807060504030201"));
    QCOMPARE(at(4, 8), QByteArray("0000000000000440"));
    QCOMPARE(row.right(1), QByteArray("\x1f"));
    // One variable column, Null: the offset table is there all the same.
    const TableLayout text = LayOut({{"t", JetType::Text}});
    QCOMPARE(EncodeRow(text, {std::monostate()}, longValues).size(), RowOverhead(text));
    QCOMPARE(RowOverhead(text), 2 + 6 + 1);
  }

  // Small long values go into the row while the whole row, their own bytes
  // and every count and offset included, stays within the page's limit; a row
  // never passes it. Rows are tried at the edge, one byte at a time.
  void longValuesInlineWhileTheRowFits() {
    // 16 Binary columns fill the row; two Ole columns follow.
    std::vector<ColumnDef> columns(18, {QString(), JetType::Binary});
    columns[16].type = columns[17].type = JetType::Ole;
    const TableLayout layout = LayOut(columns);
    const QByteArray small(30, 'v');
    int inlinedBoth = 0, inlinedOne = 0, inlinedNone = 0;
    for (int filler = 3900; filler <= 3990; ++filler) {
      std::vector<Value> values(18, small);
      for (int i = 0; i < 16; ++i) values[i] = QByteArray(filler / 16 + (i < filler % 16), 'f');
      PageFile file;
      LongValueWriter longValues(file, 2);
      const QByteArray row = EncodeRow(layout, values, longValues);
      QVERIFY2(row.size() <= kMaxRowSize, qPrintable(QString::number(filler)));
      const int inlined = int(longValues.Pages(0).empty()) + int(longValues.Pages(1).empty());
      // Each value left out of the row would have fitted in it? Then it is inline.
      QVERIFY2(inlined == 2 || row.size() + small.size() > kMaxRowSize,
               qPrintable(QString::number(filler)));
      (inlined == 2 ? inlinedBoth : inlined == 1 ? inlinedOne : inlinedNone)++;
    }
    QVERIFY(inlinedBoth > 0 && inlinedOne > 0 && inlinedNone > 0);
  }

  // A value too long for one row is chained over rows of kChainChunk bytes;
  // following the chain gives back every byte, at every length near a chunk's
  // edge.
  void longValueChainsKeepEveryByte() {
    for (int size : {kMaxSingleLongValue, kMaxSingleLongValue + 1, 2 * kChainChunk - 1,
                     2 * kChainChunk, 2 * kChainChunk + 1, 3 * kChainChunk + 1}) {
      PageFile file;
      file.Add();  // page 0 is the file's header: a pointer 0 ends a chain
      LongValueWriter writer(file, 1);
      QByteArray data(size, '\0');
      for (int i = 0; i < size; ++i) data[i] = static_cast<char>(i % 251);
      const QByteArray header = writer.StoreOutOfRow(0, data);
      const bool singleRow = size <= kMaxSingleLongValue;
      QCOMPARE(U32(header.constData()), quint32(size) | (singleRow ? 0x40000000u : 0));
      QCOMPARE(header.mid(8), QByteArray(4, '\0'));
      const QByteArray image = file.Contents();
      quint32 pointer = U32(header.constData() + 4);
      QByteArray read;
      // A single row holds only the value; each row of a chain starts with
      // the pointer to the next, and none is empty.
      int rows = 0;
      for (; pointer != 0 && rows < 10; ++rows) {
        const QByteArray row = RowOf(PageOf(image, int(pointer >> 8)), int(pointer & 0xFF));
        pointer = singleRow ? 0 : U32(row.constData());
        read += row.mid(singleRow ? 0 : 4);
      }
      QCOMPARE(read, data);
      QCOMPARE(rows, singleRow ? 1 : (size + kChainChunk - 1) / kChainChunk);
    }
  }

  void indexTreeStructure() {
    PageFile file;
    file.Add();  // page 0 ends the leaf links, so no index page is there
    std::vector<IndexEntry> entries;
    QRandomGenerator random(7);
    for (int i = 0; i < 6000; ++i) {
      QByteArray key = LongKey(random.bounded(1000) - 500) + QByteArray(random.bounded(120), 'k');
      entries.push_back({key, {std::uint32_t(100 + i / 200), std::uint8_t(i % 200)}});
    }
    const BuiltIndex built = BuildIndex(file, 42, entries);
    // Leaves, left to right: every entry once, in order.
    std::uint32_t leaf = built.pages.front();
    while (file.Page(leaf)[0] != 0x04 || U32(file.Page(leaf) + 0x0C) != 0) ++leaf;
    QByteArray previous;
    std::size_t count = 0;
    std::uint32_t distinct = 0;
    std::uint32_t before = 0;
    std::size_t leaves = 0;
    for (std::uint32_t page = leaf; page != 0; page = U32(file.Page(page) + 0x10)) {
      // Linked both ways: each leaf names the one before it.
      QCOMPARE(U32(file.Page(page) + 0x0C), before);
      before = page;
      ++leaves;
      for (const QByteArray& entry : PageEntries(file.Page(page))) {
        QVERIFY(previous < entry);
        // Entries of one key differ only in their 4-byte row pointer.
        if (count++ == 0 || entry.chopped(4) != previous.chopped(4)) ++distinct;
        previous = entry;
      }
    }
    QCOMPARE(count, entries.size());
    QCOMPARE(built.distinctKeys, distinct);
    // Nodes: each entry is its child's last entry followed by the child
    // page; from the root down they reach every leaf.
    std::vector<std::uint32_t> pending{built.root};
    std::size_t leavesReached = 0;
    while (!pending.empty()) {
      const std::uint32_t page = pending.back();
      pending.pop_back();
      if (file.Page(page)[0] == 0x04) {
        ++leavesReached;
        continue;
      }
      for (const QByteArray& entry : PageEntries(file.Page(page))) {
        const auto child = qFromBigEndian<quint32>(entry.constData() + entry.size() - 4);
        QCOMPARE(PageEntries(file.Page(child)).back(), entry.chopped(4));
        pending.push_back(child);
      }
    }
    QCOMPARE(leavesReached, leaves);
    // Keys are counted once however many rows share them, the first two
    // as well.
    PageFile small;
    small.Add();
    QCOMPARE(
        BuildIndex(small, 42, {{"a", {100, 0}}, {"a", {100, 1}}, {"b", {100, 2}}}).distinctKeys,
        2u);
  }

  // A leaf takes entries up to its last byte, the first leaf and every one
  // after it; one byte more makes one more leaf under a node.
  void indexLeafFillsExactly() {
    constexpr int kEntry = 32;  // key and row pointer
    constexpr int kPerLeaf = (kPageSize - kIndexEntriesStart) / kEntry;
    static_assert((kPageSize - kIndexEntriesStart) % kEntry == 0);
    for (const int leaves : {1, 2}) {
      for (const int spare : {0, 1}) {
        PageFile file;
        file.Add();
        std::vector<IndexEntry> entries;
        for (int i = 0; i < leaves * kPerLeaf; ++i)
          entries.push_back({LongKey(i) + QByteArray(kEntry - 9, 'k'), {100, std::uint8_t(i)}});
        entries.back().key += QByteArray(spare, 'k');
        const BuiltIndex built = BuildIndex(file, 42, entries);
        const auto leafPages =
            std::count_if(built.pages.begin(), built.pages.end(),
                          [&file](std::uint32_t page) { return file.Page(page)[0] == '\x04'; });
        QCOMPARE(int(leafPages), leaves + spare);
      }
    }
  }

  void namesMadeAcceptable() {
    const QString long70(70, u'L'), cut64(64, u'L'), cut62 = QString(62, u'L') + "_2";
    QCOMPARE(AcceptableTableNames({"Contacts", "contacts", "Contacts_2", QString(), " a.b![c]`",
                                   "msysobjects", long70, long70}),
             (std::vector<QString>{"Contacts", "contacts_3", "Contacts_2", "Table4", "a_b__c__",
                                   "msysobjects_2", cut64, cut62}));
    QCOMPARE(AcceptableColumnNames({"Zoë's-list", "ZOË'S-LIST", "tab\there", QString(),
                                    QString("a") + QChar(0xD800)}),
             (std::vector<QString>{"Zoë's-list", "ZOË'S-LIST_2", "tab_here", "Field4", "a_"}));
  }

  void longTextBecomesMemo() {
    // Ten full Cyrillic Text values (5100 bytes) overfill a row: the largest go to Memo.
    Table wide{QString(), std::vector<Column>(10), {std::vector<Cell>(10, {QString(255, u'ж')})}};
    wide.rows[0][0].text.chop(55);
    const std::vector<ColumnType> types = StoredColumnTypes(wide);
    QCOMPARE(types[0], ColumnType::Text);
    QCOMPARE(std::count(types.begin(), types.end(), ColumnType::Memo), 2);
  }

  // Refused input, a folder that does not exist: no file is left behind.
  void refusedWritesLeaveNothing() {
    QTemporaryDir dir;
    const Table wide{QString(), std::vector<Column>(256), {}};
    Table ragged = ExampleTable();
    ragged.rows[1].pop_back();
    const Table notANumber{QString(),
                           {{QStringLiteral("When"), ColumnType::DateTime}},
                           {{{QString(), false, 1.5}}, {{QString(), false, std::nan("")}}}};
    const std::pair<Table, WriteError> refused[] = {
        {wide, kTooManyColumns}, {ragged, kBadRow}, {notANumber, kBadRow}};
    Error error;
    for (const auto& [table, number] : refused) {
      QVERIFY(!WriteDatabase(dir.filePath(QStringLiteral("bad.mdb")), {table}, &error));
      QCOMPARE(error.number, static_cast<int>(number));
    }
    QVERIFY(
        !WriteDatabase(dir.filePath(QStringLiteral("missing/out.mdb")), {ExampleTable()}, &error));
    QCOMPARE(error.number, static_cast<int>(kCannotCreate));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    // An existing file is replaced whole.
    const QString existing = dir.filePath(QStringLiteral("old.mdb"));
    QVERIFY(WriteBytes(existing, QByteArray(100000, 'x')));
    QVERIFY(WriteDatabase(existing, {}, &error));
    QCOMPARE(QFileInfo(existing).size(), 16 * kPageSize);
  }

  // No table; then one large file: the example with a memo of 30000
  // characters, amounts, 110 tables with long Cyrillic names (catalog indexes
  // beyond one leaf, every other one without rows), a 200-column table
  // (multi-page TDEF) and 3000 rows of memos (> 512 pages); then random tables.
  void tablesReadBack() {
    if (Tool("mdb-export").isEmpty()) QSKIP("the mdbtools commands are not installed");
    CheckWithMdbTools({});
    Table example = ExampleTable();
    example.rows.push_back(
        {{QStringLiteral("30000")}, {QStringLiteral("Ωмир€ ").repeated(5000)}, {{}, false}});
    // Currency keeps both of its words: negative, and past 32 bits.
    Table amounts{
        QStringLiteral("Amounts"), {{QStringLiteral("Amount"), ColumnType::Currency}}, {}};
    for (const double amount : {-1.5, 987654321.1234})
      amounts.rows.push_back({{QString::number(amount, 'f', 4), false, amount}});
    std::vector<Table> tables = {example, amounts};
    for (int t = 0; t < 110; ++t)
      tables.push_back({QStringLiteral("Таблица номер %1 с длинным названием").arg(t),
                        {{QStringLiteral("Root"), ColumnType::Text}},
                        std::vector<std::vector<Cell>>(t % 2 == 0, {{QString::number(t)}})});
    Table wide{QStringLiteral("Wide"), {}, {}};
    for (int c = 0; c < 200; ++c)
      wide.columns.push_back({QStringLiteral("Column %1 ").arg(c) + QString(50, u'w'),
                              static_cast<ColumnType>(std::array{0x01, 0x0A, 0x0C}[c % 3])});
    std::vector<Cell> wideRow;
    for (int c = 0; c < 200; ++c) wideRow.push_back({QStringLiteral("v%1").arg(c), c % 2 == 0});
    wide.rows = {wideRow, wideRow};
    tables.push_back(wide);
    Table big{
        QStringLiteral("Big"),
        {{QStringLiteral("Root"), ColumnType::Text}, {QStringLiteral("Memo"), ColumnType::Memo}},
        {}};
    for (int r = 0; r < 3000; ++r)
      big.rows.push_back({{QString::number(r)},
                          {QStringLiteral("Большой текст %1 ").arg(r).repeated(70).left(1100)}});
    tables.push_back(big);
    CheckWithMdbTools(tables);
    static const QStringList kTableNames = {"Contacts", "CONTACTS",     QString(),
                                            "Карточки", "Ünïcödé-list", " x.y"};
    for (quint32 seed = 1; seed <= 4; ++seed) {
      QRandomGenerator random(seed);
      std::vector<Table> generated;
      const int count = 1 + random.bounded(5);
      for (int t = 0; t < count; ++t)
        generated.push_back(RandomTable(random, kTableNames[random.bounded(kTableNames.size())]));
      CheckWithMdbTools(generated);
      if (QTest::currentTestFailed()) {
        qWarning() << "failed with seed" << seed;
        return;
      }
    }
  }
};

QTEST_GUILESS_MAIN(TestJet4Writer)
#include "tst_jet4_writer.moc"
