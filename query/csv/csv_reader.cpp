#include "query/csv/csv_reader.h"

#include <csv.h>

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <optional>

#include "storage/code_page.h"
#include "storage/code_page_detection.h"
#include "storage/storage_error.h"

namespace orbo {
namespace {

constexpr qsizetype kChunk = 64 * 1024;
constexpr qint64 kMaxFileBytes = qint64{1} << 30;

// Checked in pieces to bound the memory; each piece ends before a
// character's continuation bytes, so no character is cut in two.
bool IsValidUtf8(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  qsizetype at = 0;
  while (at < bytes.size() && !decoder.hasError()) {
    qsizetype end = std::min(at + kChunk, bytes.size());
    for (int back = 0; back < 3 && end < bytes.size() && end > at + 1 &&
                       (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80;
         ++back) {
      --end;
    }
    const QString piece = decoder.decode(QByteArrayView(bytes).sliced(at, end - at));
    Q_UNUSED(piece);
    at = end;
  }
  return !decoder.hasError();
}

// UTF-16 without a byte order mark, as some tools write it: text whose
// every other byte is NUL. The byte order the NULs tell, or none.
std::optional<QStringConverter::Encoding> Utf16ByItsNuls(const QByteArray& bytes) {
  const qsizetype looked = std::min<qsizetype>(bytes.size(), 4096) & ~qsizetype{1};
  if (looked < 2 || bytes.size() % 2 != 0) return std::nullopt;
  std::array<qsizetype, 2> nuls{};
  for (qsizetype i = 0; i < looked; ++i) nuls[static_cast<std::size_t>(i % 2)] += bytes[i] == '\0';
  const qsizetype pairs = looked / 2;
  // Mostly Latin letters and digits: NULs at one side of nearly every pair.
  if (nuls[1] * 10 >= pairs * 9 && nuls[0] == 0) return QStringConverter::Utf16LE;
  if (nuls[0] * 10 >= pairs * 9 && nuls[1] == 0) return QStringConverter::Utf16BE;
  return std::nullopt;
}

// The file as UTF-8 (the form libcsv reads), and the encoding it was in.
struct Decoded {
  QByteArray utf8;
  QString encoding;
  bool singleByte = false;  // the bytes are a code page's, decoded field by field
};

struct Utf16Form {
  QByteArrayView mark;
  QStringConverter::Encoding encoding;
  const char* name;
};
constexpr Utf16Form kUtf16Forms[] = {{"\xFF\xFE", QStringConverter::Utf16LE, "UTF-16LE"},
                                     {"\xFE\xFF", QStringConverter::Utf16BE, "UTF-16BE"}};

Decoded FromUtf16(const QByteArray& bytes, const Utf16Form& form) {
  const QByteArrayView text =
      bytes.startsWith(form.mark) ? QByteArrayView(bytes).sliced(2) : QByteArrayView(bytes);
  // The mark is dropped above; a second one is the first field's text.
  QStringDecoder decoder(form.encoding, QStringDecoder::Flag::ConvertInitialBom);
  return {QString(decoder.decode(text)).toUtf8(), QString::fromLatin1(form.name)};
}

Decoded Decode(const QByteArray& bytes, const QString& chosen) {
  static const QByteArray kUtf8Mark("\xEF\xBB\xBF");
  if (chosen == u"UTF-8" || (chosen.isEmpty() && bytes.startsWith(kUtf8Mark)))
    return {bytes.startsWith(kUtf8Mark) ? bytes.mid(3) : bytes, QStringLiteral("UTF-8")};
  for (const Utf16Form& form : kUtf16Forms) {
    if (chosen == QLatin1String(form.name) || (chosen.isEmpty() && bytes.startsWith(form.mark)))
      return FromUtf16(bytes, form);
  }
  if (!chosen.isEmpty()) return {bytes, chosen, true};
  if (const auto utf16 = Utf16ByItsNuls(bytes))
    return FromUtf16(bytes, kUtf16Forms[*utf16 == QStringConverter::Utf16LE ? 0 : 1]);
  if (IsValidUtf8(bytes)) return {bytes, QStringLiteral("UTF-8")};
  return {bytes, QString(), true};
}

QChar DelimiterOf(const QByteArray& text) {
  constexpr std::array<char, 3> delimiters{',', ';', '\t'};
  std::array<int, delimiters.size()> counts{};
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (!quoted && (c == '\r' || c == '\n')) break;
    for (std::size_t i = 0; i < delimiters.size(); ++i) counts[i] += !quoted && c == delimiters[i];
  }
  std::size_t best = 0;
  for (std::size_t i = 1; i < delimiters.size(); ++i) best = counts[i] > counts[best] ? i : best;
  return QChar::fromLatin1(delimiters[best]);
}

// Blanks belong to the value: libcsv would trim them from unquoted fields.
int NoSpace(unsigned char) { return 0; }

struct Collector {
  CodePage* codePage = nullptr;  // set when the bytes are the code page's
  std::vector<QStringList> rows;
  QStringList row;
  qsizetype sinceField = 0;  // bytes fed since the last whole field

  QString Text(const char* bytes, std::size_t length) const {
    return codePage ? codePage->Decode(bytes, static_cast<int>(length))
                    : Utf8Text(QByteArrayView(bytes, static_cast<qsizetype>(length)));
  }
};

void TakeField(void* bytes, std::size_t length, void* data) {
  auto& collector = *static_cast<Collector*>(data);
  collector.row << collector.Text(static_cast<const char*>(bytes), length);
  collector.sinceField = 0;
}

void TakeRow(int, void* data) {
  auto& collector = *static_cast<Collector*>(data);
  collector.rows.push_back(std::move(collector.row));
  collector.row.clear();
}

class Parser {
 public:
  Parser() { ok_ = csv_init(&parser_, CSV_STRICT | CSV_STRICT_FINI) == 0; }
  ~Parser() { csv_free(&parser_); }
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;
  bool ok_;
  csv_parser parser_{};
};

}  // namespace

QStringList CsvEncodings() {
  return QStringList{QStringLiteral("UTF-8"), QStringLiteral("UTF-16LE"),
                     QStringLiteral("UTF-16BE")} +
         KnownCodePages();
}

bool IsUsableCsvDelimiter(QChar c) {
  return c.unicode() > 0 && c.unicode() < 0x80 && c != u'"' && c != u'\r' && c != u'\n';
}

CsvRead ReadCsv(const QByteArray& bytes, const QString& codePageName, const TextReading& choice) {
  CsvRead read;
  const Decoded decoded = Decode(bytes, choice.encoding);
  read.reading.encoding = decoded.encoding.isEmpty() ? codePageName : decoded.encoding;
  read.reading.delimiter =
      IsUsableCsvDelimiter(choice.delimiter) ? choice.delimiter : DelimiterOf(decoded.utf8);
  if (decoded.utf8.contains('\0')) {
    read.problem.kind = CsvProblem::kNulBytes;
    return read;
  }
  std::optional<CodePage> codePage;
  if (decoded.singleByte) {
    try {
      codePage.emplace(read.reading.encoding);
    } catch (const StorageError& error) {
      read.problem = {CsvProblem::kCodePage, 0, 0, error.Message()};
      return read;
    }
  }
  CsvTable table;
  if (codePage) read.reading.encoding = codePage->Name();
  Parser parser;
  if (!parser.ok_) {
    read.problem.kind = CsvProblem::kCannotRead;
    return read;
  }
  csv_set_delim(&parser.parser_, static_cast<unsigned char>(read.reading.delimiter.toLatin1()));
  csv_set_space_func(&parser.parser_, NoSpace);
  // A long field grows the parser's buffer by this much at a time: by its
  // default of 128 bytes, a field near the limit cost tens of thousands of
  // reallocations.
  csv_set_blk_size(&parser.parser_, static_cast<std::size_t>(kChunk));
  Collector collector;
  collector.codePage = codePage ? &*codePage : nullptr;
  for (qsizetype at = 0; at < decoded.utf8.size(); at += kChunk) {
    const QByteArray chunk = decoded.utf8.mid(at, kChunk);
    const std::size_t taken =
        csv_parse(&parser.parser_, chunk.constData(), static_cast<std::size_t>(chunk.size()),
                  TakeField, TakeRow, &collector);
    // The field being read when the reading stops, counted from 1.
    const qint64 row = static_cast<qint64>(collector.rows.size()) + 1;
    const qint64 column = collector.row.size() + 1;
    if (taken != static_cast<std::size_t>(chunk.size())) {
      // In strict mode a parse error is a quote where none may stand.
      const bool quote = csv_error(&parser.parser_) == CSV_EPARSE;
      read.problem = {
          quote ? CsvProblem::kQuoteOutOfPlace : CsvProblem::kFieldTooLong, row, column, {}};
      return read;
    }
    collector.sinceField += chunk.size();
    if (collector.sinceField > kMaxCsvFieldBytes) {
      read.problem = {CsvProblem::kFieldTooLong, row, column, {}};
      return read;
    }
  }
  if (csv_fini(&parser.parser_, TakeField, TakeRow, &collector) != 0) {
    read.problem = {CsvProblem::kQuoteNotClosed,
                    static_cast<qint64>(collector.rows.size()) + 1,
                    collector.row.size() + 1,
                    {}};
    return read;
  }
  table.rows = std::move(collector.rows);
  read.table = std::move(table);
  return read;
}

CsvProblem LoadCsvBytes(const QString& path, QByteArray* bytes) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {CsvProblem::kCannotOpen, 0, 0, file.errorString()};
  if (file.size() > kMaxFileBytes) return {CsvProblem::kTooLarge, 0, 0, {}};
  *bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    return {CsvProblem::kCannotRead, 0, 0, file.errorString()};
  return {};
}

CsvRead ReadCsvFile(const QString& path, const QString& codePageName) {
  QByteArray bytes;
  CsvRead read;
  read.problem = LoadCsvBytes(path, &bytes);
  return read.problem.kind == CsvProblem::kNone ? ReadCsv(bytes, codePageName) : read;
}

}  // namespace orbo
