// The Jet 4 writer: golden bytes of the worked example file, the index
// tree's structure, and generated files read back with the mdbtools
// commands and compared with what was written.
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

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
#include "query/access/jet4/usage_map.h"

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

QString Repeated(const QString& piece, int length) {
  QString text;
  while (text.size() < length) text += piece;
  return text.left(length);
}

// The example table: Cyrillic name, a compressed and a plain Text value, an
// inline and a chained memo, both Boolean values.
Table ExampleTable() {
  Table table;
  table.name = QStringLiteral("Карточки");
  table.columns = {{QStringLiteral("Root"), ColumnType::Text},
                   {QStringLiteral("Note ID:23"), ColumnType::Memo},
                   {QStringLiteral("Done ID:50"), ColumnType::Boolean}};
  table.rows = {
      {{QStringLiteral("Папка 1")}, {QStringLiteral("Short memo, ASCII")}, {{}, true}},
      {{QStringLiteral("Root ü é")}, {QStringLiteral("Привет, мир! Ünïcödé €")}, {{}, false}},
      {{QStringLiteral(" ")}, {Repeated(QStringLiteral("абвгдежзий0123456789"), 5000)}, {{}, true}},
  };
  return table;
}

// A table of one Text column, "Root".
Table RootTable(const QString& name, std::vector<std::vector<Cell>> rows = {}) {
  return {name, {{QStringLiteral("Root"), ColumnType::Text}}, std::move(rows)};
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
    QVERIFY(rows <= 255);
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

// The entries of the catalog's ParentIdName index, leaf by leaf from the
// first.
QList<QByteArray> CatalogNameEntries(const QByteArray& image) {
  const int pageCount = static_cast<int>(image.size() / kPageSize);
  auto isFirstNameLeaf = [&](int p) {
    const char* page = image.constData() + p * kPageSize;
    const QList<QByteArray> entries = PageEntries(page);
    // Id entries are a Long key and a row pointer: 9 bytes.
    return page[0] == 0x04 && U32(page + 4) == kFirstSystemTdefPage && U32(page + 0x0C) == 0 &&
           !entries.isEmpty() && entries.front().size() > 9;
  };
  int page = 0;
  while (page < pageCount && !isFirstNameLeaf(page)) ++page;
  QList<QByteArray> entries;
  for (; page > 0 && page < pageCount; page = U32(image.constData() + page * kPageSize + 0x10))
    entries << PageEntries(image.constData() + page * kPageSize);
  return entries;
}

// The catalog index holds the key of every table name under "Tables",
// ascending.
void CheckCatalogIndex(const QByteArray& image, const std::vector<QString>& userNames) {
  QList<QByteArray> expected;
  for (const SystemTable& table : SystemTables()) expected << TextKey(table.name);
  for (const QString& name : userNames) expected << TextKey(name);
  std::sort(expected.begin(), expected.end());
  const QList<QByteArray> entries = CatalogNameEntries(image);
  QVERIFY(std::adjacent_find(entries.begin(), entries.end(), std::greater_equal<>()) ==
          entries.end());
  const QByteArray tables = LongKey(kTablesContainer);
  QList<QByteArray> keys;
  for (const QByteArray& entry : entries)
    if (entry.startsWith(tables)) keys << entry.mid(tables.size()).chopped(4);
  QCOMPARE(keys, expected);
}

// --- the mdbtools commands ---

QString Tool(const char* name) { return QStandardPaths::findExecutable(QString::fromLatin1(name)); }

bool HaveMdbTools() {
  for (const char* name : {"mdb-ver", "mdb-tables", "mdb-schema", "mdb-count", "mdb-export"})
    if (Tool(name).isEmpty()) return false;
  return true;
}

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

QString SchemaType(ColumnType type) {
  static const std::map<ColumnType, QString> kNames = {{ColumnType::Boolean, "Boolean NOT NULL"},
                                                       {ColumnType::Text, "Text (255)"},
                                                       {ColumnType::Memo, "Memo/Hyperlink (255)"},
                                                       {ColumnType::DateTime, "DateTime"},
                                                       {ColumnType::Currency, "Currency"}};
  return kNames.at(type);
}

// Writes the tables and checks every command's view of the file against
// them; the rows of every `stride`-th table and of the last one.
void CheckWithMdbTools(const std::vector<Table>& tables, std::size_t stride = 1) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("out.mdb"));
  Error error;
  QVERIFY2(WriteDatabase(path, tables, &error), qPrintable(error.text));
  const QByteArray image = ReadBytes(path);
  QVERIFY(!image.isEmpty());
  CheckStructure(image);
  if (QTest::currentTestFailed()) return;
  QCOMPARE(Run("mdb-ver", {path}).trimmed(), QStringLiteral("JET4"));

  std::vector<QString> requested;
  for (const Table& table : tables) requested.push_back(table.name);
  const std::vector<QString> names = AcceptableTableNames(requested);
  const QStringList listed =
      Run("mdb-tables", {QStringLiteral("-1"), path}).split(u'\n', Qt::SkipEmptyParts);
  QCOMPARE(listed, QStringList(names.begin(), names.end()));
  CheckCatalogIndex(image, names);

  const QString schema = Run("mdb-schema", {path});
  for (std::size_t t = 0; t < tables.size(); ++t) {
    const Table& table = tables[t];
    QVERIFY2(schema.contains(QStringLiteral("CREATE TABLE [%1]").arg(names[t])),
             qPrintable(names[t]));
    std::vector<QString> requestedColumns;
    for (const Column& column : table.columns) requestedColumns.push_back(column.name);
    const std::vector<QString> columns = AcceptableColumnNames(requestedColumns);
    const std::vector<ColumnType> types = StoredColumnTypes(table);
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const QString line = QStringLiteral("[%1]\t\t\t%2").arg(columns[c], SchemaType(types[c]));
      QVERIFY2(schema.contains(line), qPrintable(line));
    }
    if (t % stride != 0 && t + 1 != tables.size()) continue;
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
    QCOMPARE(keystream.left(16), Hex("B56F03626108C255EBA96772433F009C"));
    QCOMPARE(keystream.right(16), Hex("CF65EDFF07C746A178160CEDE92D62D4"));
    QCOMPARE(OleDate(QDateTime(QDate(2026, 12, 6), QTime(12, 0))), kExampleDate);
    const QByteArray page = HeaderPage(kExampleDate);
    QCOMPARE(page.mid(0x18, 8), Hex("B56E03626009C255"));
    QByteArray unmasked = page;
    for (int i = 0; i < keystream.size(); ++i)
      unmasked[0x18 + i] = static_cast<char>(unmasked[0x18 + i] ^ keystream[i]);
    // What mdbtools does not read: code page 1252, the password area standing
    // for none, the General sort order, the creation date, the version text.
    QCOMPARE(unmasked.mid(0x3C, 2), Hex("E404"));
    QCOMPARE(unmasked.mid(0x40, 40), Hex("00001AB5").repeated(10));
    QCOMPARE(unmasked.mid(0x6E, 2), Hex("0904"));
    QCOMPARE(unmasked.mid(0x72, 8), Hex("0000000050A3E640"));
    QCOMPARE(unmasked.mid(0x98, 8), Hex("54060000342E3000"));
  }

  void textCompressionRule() {
    QCOMPARE(EncodeText(u"ab", true), Hex("61006200"));
    QCOMPARE(EncodeText(u"abc", true), Hex("FFFE616263"));
    QCOMPARE(EncodeText(u"abc", false), Hex("610062006300"));
    QCOMPARE(EncodeText(u"Root ü é", true), Hex("FFFE526F6F7420FC20E9"));
    QCOMPARE(EncodeText(u"ab€", true), Hex("61006200AC20"));
    QCOMPARE(EncodeText(QString(1024, u'x'), true).size(), 1026);
    QCOMPARE(EncodeText(QString(1025, u'x'), true).size(), 2050);
  }

  void keyCodes() {
    QCOMPARE(TextKey(u"Tables"), Hex("7F6D4A4C5E516B0100"));
    QCOMPARE(TextKey(u"Карточки"), Hex("7F 7940 792F 7948 794A 7946 7953 7940 793B 0100"));
    QCOMPARE(TextKey(u"карточки"), TextKey(u"КАРТОЧКИ"));
    QCOMPARE(LongKey(2), Hex("7F80000002"));
    QCOMPARE(LongKey(std::numeric_limits<std::int32_t>::min()), Hex("7F00000000"));
    // Accents after the text section, apostrophe and hyphen with their places last.
    QCOMPARE(TextKey(u"é"), Hex("7F 51 01 0E 00"));
    QCOMPARE(TextKey(u"e\u0301"), TextKey(u"é"));
    // A mark with no letter before it takes no place from the hyphen after it.
    QCOMPARE(TextKey(u"\u0301-x").right(5), TextKey(u"-x").right(5));
    // A mark before any letter still counts.
    QVERIFY(TextKey(u"\u0301x") != TextKey(u"x"));
    QCOMPARE(TextKey(u"Ёлка"), Hex("7F 7936 7941 7940 792F 01 13 00"));
    QCOMPARE(TextKey(u"Kunde-Liste"), Hex("7F 5C6F624F51 5E596B6D51 01 010101 801B0682 00"));
    QCOMPARE(TextKey(u"é-ü'x"), Hex("7F 516F75 01 0E13 010101 800B0682 800F0680 00"));
    QCOMPARE(TextKey(u"Straße"), Hex("7F 6B6D694A6B6B51 01 00"));
    QVERIFY(!IsKeyCharacter(QChar(0x4E00)));  // no single-byte code page holds it
    // Every accent is one byte, and the accent section ends with an accent:
    // none is as low as the padding byte 02 that stands for "no accent"
    // before an accented character.
    for (int c = 0; c <= 0xFFFF; ++c) {
      const CharCode* code = GeneralSortCode(static_cast<char16_t>(c));
      if (code && (code->kind == CodeKind::Accented || code->kind == CodeKind::Mark))
        QCOMPARE(code->extra.size(), 1);
      if (code && code->kind == CodeKind::Accented)
        QVERIFY2(static_cast<unsigned char>(code->extra.back()) > 2,
                 qPrintable(QString::number(c, 16)));
    }
  }

  // Random texts over letters with and without accents, Cyrillic, digits,
  // blanks, apostrophes and hyphens: their keys sort as the General order
  // compares them. That order, as its published tables give it: first the
  // letters regardless of case and accent (blank, digits, Latin, Cyrillic;
  // "ё" is "е" with a diaeresis, "й" a letter of its own), then the accents
  // letter by letter, then where apostrophes and hyphens stand.
  void keysSortLikeGeneralOrder() {
    static const QString kAlphabet =
        QStringLiteral(" 0123456789abcdefghijklmnopqrstuvwxyzабвгдежзийклмнопрстуфхцчшщъыьэюя");
    // Combining marks, in the order of their accent codes.
    static const QList<char16_t> kAccents = {0x0301, 0x0300, 0x0307, 0x0302, 0x0308, 0x030C, 0x0306,
                                             0x0304, 0x0303, 0x030A, 0x0328, 0x0327, 0x030B};
    struct Weights {
      QList<int> letters, accents;
      QList<std::pair<int, int>> marks;  // (letters before it, apostrophe 0 or hyphen 1)
    };
    auto weigh = [](const QString& text) {
      Weights w;
      for (QChar c : text) {
        if (c == u'\'' || c == u'-') {
          w.marks.push_back({static_cast<int>(w.letters.size()), c == u'-'});
          continue;
        }
        QChar letter = c.toLower();
        int accent = 0;
        if (letter == u'ё') {
          letter = u'е';
          accent = 1 + kAccents.indexOf(0x0308);
        } else if (letter.script() == QChar::Script_Latin && !letter.decomposition().isEmpty()) {
          accent = 1 + kAccents.indexOf(letter.decomposition()[1].unicode());
          letter = letter.decomposition()[0];
        }
        w.letters << kAlphabet.indexOf(letter);
        w.accents << accent;
      }
      while (!w.accents.isEmpty() && w.accents.back() == 0) w.accents.removeLast();
      return w;
    };
    auto sign = [](auto a, auto b) { return a < b ? -1 : b < a ? 1 : 0; };
    auto compare = [&](const QString& a, const QString& b) {
      const Weights x = weigh(a), y = weigh(b);
      if (const int s = sign(x.letters, y.letters)) return s;
      if (const int s = sign(x.accents, y.accents)) return s;
      return sign(x.marks, y.marks);
    };
    static const QString kCharacters =
        QStringLiteral("aAeEoOuUcCnNsSzZ áàâäãåéèêëóòôöõúùûüçñšžčćőűąęėÁÉÖÜŽ аеёжийяЁЖ 019 '-''--");
    QRandomGenerator random(25);
    auto randomText = [&] {
      QString text;
      for (int n = random.bounded(7); n > 0; --n)
        text += kCharacters[random.bounded(kCharacters.size())];
      return text;
    };
    int equal = 0;
    for (int i = 0; i < 50000; ++i) {
      const QString a = randomText();
      QString b = a;
      // Mostly a small change (one character replaced, inserted or swapped
      // with the next), so that many pairs differ in one level only.
      const int change = random.bounded(4);
      const int at = static_cast<int>(random.bounded(b.size() + 1));
      const QChar c = kCharacters[random.bounded(kCharacters.size())];
      if (change == 0 || b.isEmpty())
        b = randomText();
      else if (change == 1 && at < b.size())
        b[at] = c;
      else if (change == 2)
        b.insert(at, c);
      else if (at + 1 < b.size())
        std::swap(b[at], b[at + 1]);
      const int expected = compare(a, b);
      equal += expected == 0;
      if (sign(TextKey(a), TextKey(b)) != expected)
        QFAIL(qPrintable(QStringLiteral("\"%1\" vs \"%2\": %3 vs %4")
                             .arg(a, b, QString::fromLatin1(TextKey(a).toHex(' ')),
                                  QString::fromLatin1(TextKey(b).toHex(' ')))));
    }
    QVERIFY(equal > 1000);
  }

  // Every character of the common single-byte code pages has a key code, so
  // no table name loses a character to the catalog.
  void codePageCharactersAreKeyCharacters() {
    const char* const pages[] = {"windows-1250", "windows-1251", "windows-1252", "windows-1253",
                                 "windows-1254", "windows-1255", "windows-1256", "windows-1257",
                                 "windows-1258", "windows-874",  "ISO-8859-2",   "ISO-8859-5",
                                 "ISO-8859-7",   "ISO-8859-15",  "KOI8-R",       "KOI8-U",
                                 "IBM866",       "macintosh"};
    for (const char* name : pages) {
      QStringDecoder decoder(name, QStringConverter::Flag::Stateless);
      QVERIFY2(decoder.isValid(), name);
      for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        for (QChar decoded : QString(decoder.decode(QByteArrayView(&c, 1))))
          QVERIFY2(IsKeyCharacter(decoded), qPrintable(QStringLiteral("%1 byte %2: U+%3")
                                                           .arg(QLatin1String(name))
                                                           .arg(byte, 2, 16)
                                                           .arg(decoded.unicode(), 4, 16)));
      }
    }
  }

  void exampleFileBytes() {
    const QByteArray image = BuildDatabaseImage({ExampleTable()}, kExampleDate)->Contents();
    QCOMPARE(image.size(), 21 * kPageSize);
    CheckStructure(image);
    // The table definition is read back by the mdbtools commands
    // (tablesReadBack); here the rows: an inline memo and a compressed text,
    // a chained memo, the page's free space, both ends of the chain.
    const QByteArray rows = PageOf(image, 9);
    QCOMPARE(RowOf(rows, 0), Hex("03 00 00 1F 04 30 04 3F 04 3A 04 30 04 20 00 31"
                                 "00 13 00 00 80 00 00 00 00 00 00 00 00 FF FE 53"
                                 "68 6F 72 74 20 6D 65 6D 6F 2C 20 41 53 43 49 49"
                                 "30 00 11 00 03 00 02 00 07"));
    QCOMPARE(RowOf(rows, 2), Hex("03 00 00 20 00 10 27 00 00 00 0C 00 00 00 00 00"
                                 "00 11 00 05 00 03 00 02 00 07"));
    QCOMPARE(rows.mid(2, 2), Hex("4B0F"));
    QCOMPARE(RowOf(PageOf(image, 12), 0).left(4), Hex("000B0000"));
    QCOMPARE(RowOf(PageOf(image, 10), 0).left(4), Hex("00000000"));
    // The dates of the table's catalog row; the Id index leaf over the catalog.
    QCOMPARE(RowOf(PageOf(image, 7), 8).mid(16, 16),
             Hex("50 A3 E6 40 00 00 00 00 50 A3 E6 40 00 00 00 00"));
    const QByteArray leaf = PageOf(image, 13);
    QCOMPARE(leaf.left(8), Hex("0401CF0D02000000"));
    QCOMPARE(leaf.mid(0x1B, 11), Hex("0002040810204080000102"));
    QCOMPARE(leaf.mid(0x1E0, 18), Hex("7F 80 00 00 02 00 00 07 04 7F 80 00 00 03 00 00 07 05"));
    // Global map: pages 0-20 used.
    QCOMPARE(RowOf(PageOf(image, 1), 0).left(9), Hex("00 00000000 0000E0FF"));
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

  // Small long values go into the row while the whole row, their own bytes
  // and every count and offset included, stays within the page's limit; a row
  // never passes it. Rows are tried at the edge, one byte at a time.
  void longValuesInlineWhileTheRowFits() {
    std::vector<ColumnDef> columns;
    for (int i = 0; i < 16; ++i) columns.push_back({QStringLiteral("b%1").arg(i), JetType::Binary});
    columns.push_back({QStringLiteral("first"), JetType::Ole});
    columns.push_back({QStringLiteral("second"), JetType::Ole});
    const TableLayout layout = LayOut(columns);
    const QByteArray small(30, 'v');
    int inlinedBoth = 0, inlinedOne = 0, inlinedNone = 0;
    for (int filler = 3900; filler <= 3990; ++filler) {
      std::vector<Value> values;
      for (int i = 0; i < 16; ++i)
        values.push_back(QByteArray(filler / 16 + (i < filler % 16), 'f'));
      values.push_back(small);
      values.push_back(small);
      PageFile file;
      LongValueWriter longValues(file, 2);
      const QByteArray row = EncodeRow(layout, values, longValues);
      QVERIFY2(row.size() <= kMaxRowSize, qPrintable(QString::number(filler)));
      const int inlined = int(longValues.Pages(0).empty()) + int(longValues.Pages(1).empty());
      // Each value left out of the row would have fitted in it? Then it is inline.
      const int outOfRow = 2 - inlined;
      QVERIFY2(outOfRow == 0 || row.size() + small.size() > kMaxRowSize,
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
      QCOMPARE(U32(header.constData()) & 0x3FFFFFFFu, quint32(size));
      const QByteArray image = file.Contents();
      quint32 pointer = U32(header.constData() + 4);
      QByteArray read;
      if (size <= kMaxSingleLongValue) {
        read = RowOf(PageOf(image, int(pointer >> 8)), int(pointer & 0xFF));
      } else {
        for (int rows = 0; pointer != 0 && rows < 10; ++rows) {
          const QByteArray row = RowOf(PageOf(image, int(pointer >> 8)), int(pointer & 0xFF));
          pointer = U32(row.constData());
          read += row.mid(4);
        }
      }
      QVERIFY2(read == data,
               qPrintable(QStringLiteral("%1 bytes, %2 read").arg(size).arg(read.size())));
    }
  }

  void indexTreeStructure() {
    PageFile file;
    file.Add();  // page 0 ends the leaf links, so no index page is there
    std::vector<IndexEntry> entries;
    QRandomGenerator random(7);
    for (int i = 0; i < 6000; ++i) {
      QByteArray key = LongKey(random.bounded(1000) - 500) + QByteArray(random.bounded(120), 'k');
      entries.push_back(
          {key, {static_cast<std::uint32_t>(100 + i / 200), static_cast<std::uint8_t>(i % 200)}});
    }
    const BuiltIndex built = BuildIndex(file, 42, entries);
    QCOMPARE(file.Page(built.root)[0], '\x03');
    // Leaves, left to right: every entry once, in order, bitmap and free space consistent.
    std::uint32_t leaf = built.pages.front();
    while (file.Page(leaf)[0] != 0x04 || U32(file.Page(leaf) + 0x0C) != 0) ++leaf;
    QByteArray previous;
    std::size_t count = 0;
    for (std::uint32_t page = leaf; page != 0; page = U32(file.Page(page) + 0x10)) {
      QCOMPARE(file.Page(page)[0], '\x04');
      QCOMPARE(U32(file.Page(page) + 4), 42u);
      int used = 0;
      for (const QByteArray& entry : PageEntries(file.Page(page))) {
        used += static_cast<int>(entry.size());
        QVERIFY(previous < entry);
        previous = entry;
        ++count;
      }
      QCOMPARE(U16(file.Page(page) + 2), kPageSize - kIndexEntriesStart - used);
    }
    QCOMPARE(count, entries.size());
    // Nodes: each entry is its child's last entry followed by the child page.
    for (std::uint32_t page : built.pages) {
      if (file.Page(page)[0] != 0x03) continue;
      for (const QByteArray& entry : PageEntries(file.Page(page))) {
        const auto child = qFromBigEndian<quint32>(entry.constData() + entry.size() - 4);
        QCOMPARE(PageEntries(file.Page(child)).back(), entry.chopped(4));
      }
    }
    QSet<QByteArray> keys;
    for (const IndexEntry& entry : entries) keys.insert(entry.key);
    QCOMPARE(built.distinctKeys, static_cast<std::uint32_t>(keys.size()));
  }

  // A leaf takes entries up to its last byte; one byte more makes a second
  // leaf under a node.
  void indexLeafFillsExactly() {
    constexpr int kEntry = 32;  // key and row pointer
    static_assert((kPageSize - kIndexEntriesStart) % kEntry == 0);
    for (const int spare : {0, 1}) {
      PageFile file;
      file.Add();
      std::vector<IndexEntry> entries;
      for (int i = 0; i < (kPageSize - kIndexEntriesStart) / kEntry; ++i)
        entries.push_back({LongKey(i) + QByteArray(kEntry - 9, 'k'), {100, std::uint8_t(i)}});
      entries.back().key += QByteArray(spare, 'k');
      QCOMPARE(file.Page(BuildIndex(file, 42, entries).root)[0], spare ? '\x03' : '\x04');
    }
  }

  // Currency keeps both of its words: negative, and past 32 bits.
  void currencyReadsBack() {
    if (!HaveMdbTools()) QSKIP("the mdbtools commands are not installed");
    Table amounts{
        QStringLiteral("Amounts"), {{QStringLiteral("Amount"), ColumnType::Currency}}, {}};
    for (const double amount : {-1.5, 987654321.1234})
      amounts.rows.push_back({{QString::number(amount, 'f', 4), false, amount}});
    CheckWithMdbTools({amounts});
  }

  void referenceUsageMap() {
    // The listed pages need not exist; bitmap pages are added after page 0 (the header).
    PageFile file;
    file.Add();
    const std::vector<std::uint32_t> pages = {3, 700, 32735, 32736, 39999};
    const QByteArray row = UsageMapRow(pages, file);
    QCOMPARE(row.size(), kUsageMapRowSize);
    QCOMPARE(row[0], '\x01');
    std::vector<std::uint32_t> listed;
    for (int k = 0; k < 17; ++k) {
      const quint32 bitmapPage = U32(row.constData() + 1 + 4 * k);
      if (bitmapPage == 0) continue;
      const char* bitmap = file.Page(bitmapPage);
      QCOMPARE(QByteArray(bitmap, 4), Hex("05010000"));
      for (int bit = 0; bit < (kPageSize - 4) * 8; ++bit)
        if (bitmap[4 + bit / 8] & 1 << (bit % 8)) listed.push_back(k * (kPageSize - 4) * 8 + bit);
    }
    QCOMPARE(listed, pages);
    const QByteArray global = GlobalMapRow(1000);  // window moved to page 1000
    QCOMPARE(global.left(6), Hex("00E8030000FF"));
  }

  void namesMadeAcceptable() {
    const QString long70(70, u'L'), cut64(64, u'L'), cut62 = QString(62, u'L') + "_2";
    QCOMPARE(AcceptableTableNames({"Contacts", "contacts", "Contacts_2", QString(), " a.b![c]`",
                                   "Zoë's-list", "msysobjects", long70, long70, "Note ID:23",
                                   "Карточки"}),
             (std::vector<QString>{"Contacts", "contacts_3", "Contacts_2", "Table4", "a_b__c__",
                                   "Zoë's-list", "msysobjects_2", cut64, cut62, "Note ID:23",
                                   "Карточки"}));
    QCOMPARE(AcceptableColumnNames({"Zoë's-list", "ZOË'S-LIST", "tab\there", QString(),
                                    QString("a") + QChar(0xD800), "Smile 😀"}),
             (std::vector<QString>{"Zoë's-list", "ZOË'S-LIST_2", "tab_here", "Field4", "a_",
                                   "Smile 😀"}));
  }

  void longTextBecomesMemo() {
    Table table;
    table.columns = {{"a", ColumnType::Text}, {"b", ColumnType::Text}, {"c", ColumnType::Boolean}};
    table.rows = {{{QString(256, u'x')}, {QStringLiteral("short")}, {}}};
    QCOMPARE(StoredColumnTypes(table),
             (std::vector{ColumnType::Memo, ColumnType::Text, ColumnType::Boolean}));
    // Ten full Cyrillic Text values (5100 bytes) overfill a row: the largest go to Memo.
    Table wide;
    for (int c = 0; c < 10; ++c) wide.columns.push_back({QString::number(c), ColumnType::Text});
    std::vector<Cell> row;
    for (int c = 0; c < 10; ++c) row.push_back({QString(c == 0 ? 200 : 255, u'ж')});
    wide.rows = {row};
    const std::vector<ColumnType> types = StoredColumnTypes(wide);
    QCOMPARE(types[0], ColumnType::Text);
    QCOMPARE(std::count(types.begin(), types.end(), ColumnType::Memo), 2);
  }

  void badInputIsRefused() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.mdb"));
    Table wide;
    wide.columns.resize(256);
    Error error;
    QVERIFY(!WriteDatabase(path, {wide}, &error));
    QCOMPARE(error.number, static_cast<int>(kTooManyColumns));
    Table ragged = ExampleTable();
    ragged.rows[1].pop_back();
    QVERIFY(!WriteDatabase(path, {ragged}, &error));
    QCOMPARE(error.number, static_cast<int>(kBadRow));
    Table dated;
    dated.columns = {{QStringLiteral("When"), ColumnType::DateTime}};
    for (double bad : {std::nan(""), 1e300}) {
      dated.rows = {{{QString(), false, 1.5}}, {{QString(), false, bad}}};
      QVERIFY(!WriteDatabase(path, {dated}, &error));
      QCOMPARE(error.number, static_cast<int>(kBadRow));
    }
    QVERIFY(!QFile::exists(path));
  }

  void failedWriteLeavesNothing() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/out.mdb"));
    Error error;
    QVERIFY(!WriteDatabase(path, {ExampleTable()}, &error));
    QCOMPARE(error.number, static_cast<int>(kCannotCreate));
    QVERIFY(error.text.contains(path));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    // An existing file is replaced whole.
    const QString existing = dir.filePath(QStringLiteral("old.mdb"));
    QVERIFY(WriteBytes(existing, QByteArray(100000, 'x')));
    QVERIFY(WriteDatabase(existing, {}, &error));
    QCOMPARE(QFileInfo(existing).size(), 16 * kPageSize);
  }

  // Jet wants a field in every table: one without columns gets an empty Text column.
  void tableWithoutColumnsGetsAField() {
    if (!HaveMdbTools()) QSKIP("the mdbtools commands are not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nocolumns.mdb"));
    Table bare;
    bare.name = QStringLiteral("Bare");
    bare.rows.resize(2);
    Error error;
    QVERIFY(WriteDatabase(path, {bare}, &error));
    QVERIFY(Run("mdb-schema", {path}).contains(QStringLiteral("[Field1]\t\t\tText (255)")));
    QCOMPARE(Run("mdb-count", {path, bare.name}).trimmed(), QStringLiteral("2"));
  }

  // No table; a table without rows beside the example with a memo of 30000
  // characters; then random tables.
  void tablesReadBack() {
    if (!HaveMdbTools()) QSKIP("the mdbtools commands are not installed");
    CheckWithMdbTools({});
    Table empty = RootTable(QStringLiteral("Empty form?"));
    empty.columns.push_back({QStringLiteral("Done"), ColumnType::Boolean});
    Table example = ExampleTable();
    example.rows.push_back(
        {{QStringLiteral("30000")}, {Repeated(QStringLiteral("Ωмир€ "), 30000)}, {{}, false}});
    CheckWithMdbTools({empty, example});
    if (QTest::currentTestFailed()) return;
    static const QStringList kTableNames = {"Contacts", "CONTACTS",     QString(),
                                            "Карточки", "Ünïcödé-list", " x.y"};
    for (quint32 seed = 1; seed <= 4; ++seed) {
      QRandomGenerator random(seed);
      std::vector<Table> tables;
      const int count = 1 + random.bounded(5);
      for (int t = 0; t < count; ++t)
        tables.push_back(RandomTable(random, kTableNames[random.bounded(kTableNames.size())]));
      CheckWithMdbTools(tables);
      if (QTest::currentTestFailed()) {
        qWarning() << "failed with seed" << seed;
        return;
      }
    }
  }

  // Names with accents, apostrophes, hyphens and dashes keep their form: the
  // mdbtools commands list them and find each table by its name, and the
  // catalog index holds their keys in order.
  void accentedTableNamesReadBack() {
    if (!HaveMdbTools()) QSKIP("the mdbtools commands are not installed");
    const QStringList requested = {"Kunde-Liste", "é-ü'x",       "Карточки ёжика", "Ærø Øst",
                                   "Straße",      "Ελληνικά",    "Łódź",           "Zoë's-list",
                                   "ZOË'S-LIST",  "Kunde–Liste", "Kunde Liste",    "№ 5 «Ёлка»"};
    std::vector<Table> tables;
    for (const QString& name : requested) tables.push_back(RootTable(name, {{{name}}}));
    std::vector<QString> expected(requested.begin(), requested.end());
    expected[8] += QStringLiteral("_2");  // the same key as "Zoë's-list"
    QCOMPARE(AcceptableTableNames({requested.begin(), requested.end()}), expected);
    CheckWithMdbTools(tables);
  }

  void largeFileReadsBack() {
    if (!HaveMdbTools()) QSKIP("the mdbtools commands are not installed");
    // 110 tables with long Cyrillic names (catalog indexes beyond one leaf),
    // a 200-column table (multi-page TDEF) and 3000 rows of memos (> 512 pages).
    std::vector<Table> tables;
    for (int t = 0; t < 110; ++t) {
      tables.push_back(RootTable(QStringLiteral("Таблица номер %1 с длинным названием").arg(t)));
      if (t % 2 == 0) tables.back().rows = {{{QString::number(t)}}};
    }
    Table wide;
    wide.name = QStringLiteral("Wide");
    for (int c = 0; c < 200; ++c)
      wide.columns.push_back({QStringLiteral("Column %1 ").arg(c) + QString(50, u'w'),
                              static_cast<ColumnType>(std::array{0x01, 0x0A, 0x0C}[c % 3])});
    std::vector<Cell> wideRow;
    for (int c = 0; c < 200; ++c) wideRow.push_back({QStringLiteral("v%1").arg(c), c % 2 == 0});
    wide.rows = {wideRow, wideRow};
    tables.push_back(wide);
    Table big;
    big.name = QStringLiteral("Big");
    big.columns = {{QStringLiteral("Root"), ColumnType::Text},
                   {QStringLiteral("Memo"), ColumnType::Memo}};
    for (int r = 0; r < 3000; ++r)
      big.rows.push_back(
          {{QString::number(r)}, {Repeated(QStringLiteral("Большой текст %1 ").arg(r), 1100)}});
    tables.push_back(big);
    CheckWithMdbTools(tables, 10);
  }
};

QTEST_GUILESS_MAIN(TestJet4Writer)
#include "tst_jet4_writer.moc"
