// The Access file reader: any file opens or is refused, and every table it
// lists opens or is refused, its rows read to the end or to a failure, never
// with more values than columns it may bind.
#include "fuzz_support.h"
#include "query/access/tables/access_mdb_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orbo;
  const QString path = fuzz::WriteInput(data, size, QStringLiteral("input.mdb"));
  std::unique_ptr<AccessSource> source = OpenMdbSource(path);
  if (!source) return 0;
  const QStringList tables = source->TableNames();
  for (int t = 0; t < tables.size(); ++t) {
    QStringList columns;
    qint64 rows = 0;
    if (!source->OpenTable(t, &columns, &rows)) continue;
    QStringList values;
    // A damaged page chain may promise rows without end.
    for (int read = 0; read < 100000 && source->NextRow(&values); ++read) {
      fuzz::Require(values.size() == std::min<qsizetype>(columns.size(), kReadColumns),
                    "one value per bound column");
    }
  }
  return 0;
}
