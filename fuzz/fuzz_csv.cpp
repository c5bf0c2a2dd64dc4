// The CSV reader: any bytes give a table or a reason; a table's rows written
// again as CSV, every field quoted, read back the same; the import reads
// every row as wide as its columns, also read again in any encoding and with
// any delimiter.
#include <cstdlib>
#include <iterator>

#include "fuzz_support.h"
#include "query/csv/csv_reader.h"
#include "query/csv/csv_source.h"

namespace {

// Every row as wide as the columns, and as many as the table says.
void ReadWhole(orbo::AccessSource& source) {
  QStringList columns;
  qint64 count = 0;
  if (!source.OpenTable(0, &columns, &count) || !source.Reading()) std::abort();
  QStringList row;
  qint64 rows = 0;
  while (source.NextRow(&row)) {
    if (row.size() != columns.size()) std::abort();
    ++rows;
  }
  if (rows != count) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orbo;
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const CsvRead read = ReadCsv(bytes, QStringLiteral("windows-1252"));
  if (!read.table) {
    if (read.problem.kind == CsvProblem::kNone) std::abort();
    return 0;
  }
  const CsvTable& table = *read.table;
  // Every field quoted, so that the first line tells the same delimiter.
  QString again;
  for (const QStringList& row : table.rows) {
    QStringList fields;
    for (QString field : row) fields << u'"' + field.replace(u'"', QStringLiteral("\"\"")) + u'"';
    again += fields.join(read.reading.delimiter) + QStringLiteral("\r\n");
  }
  const CsvRead back = ReadCsv("\xEF\xBB\xBF" + again.toUtf8(), QStringLiteral("windows-1252"));
  if (!back.table || back.table->rows != table.rows) std::abort();
  const std::unique_ptr<AccessSource> source =
      MakeCsvSource(bytes, QStringLiteral("t.csv"), QStringLiteral("windows-1252"), {});
  if (!source->Problem().isEmpty()) std::abort();
  ReadWhole(*source);
  // Read again as a user may choose: the first byte picks the encoding, the
  // second the delimiter, whatever it is.
  const char* const encodings[] = {"", "UTF-8", "UTF-16LE", "UTF-16BE", "windows-1251", "no-such"};
  const TextReading choice{
      QString::fromLatin1(encodings[size > 0 ? data[0] % std::size(encodings) : 0]),
      QChar(size > 1 ? data[1] : 0)};
  if (source->ReadAs(choice).isEmpty()) ReadWhole(*source);
  return 0;
}
