// Writes 32000 rows of a contact-form table (a Root text, five memos with
// short and some long values, three texts, two flags) as an .mdb file, best
// of a few runs.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "query/access/jet4/jet4_writer.h"

using namespace orbo::jet4;

namespace {

constexpr int kRows = 32000;
constexpr int kRepeats = 3;

Table ContactTable() {
  Table table;
  table.name = QStringLiteral("Контакты");
  table.columns.push_back({QStringLiteral("Root"), ColumnType::Text});
  for (int m = 1; m <= 5; ++m)
    table.columns.push_back({QStringLiteral("Note ID:%1").arg(m), ColumnType::Memo});
  for (const char* name : {"Name", "Phone", "City"})
    table.columns.push_back({QString::fromLatin1(name), ColumnType::Text});
  table.columns.push_back({QStringLiteral("Done"), ColumnType::Boolean});
  table.columns.push_back({QStringLiteral("Called"), ColumnType::Boolean});
  const QString longNote = QStringLiteral("Длинная заметка о встрече, ").repeated(200);
  table.rows.reserve(kRows);
  for (int r = 0; r < kRows; ++r) {
    std::vector<Cell> row;
    row.push_back({QStringLiteral("Папка %1").arg(r % 40)});
    for (int m = 0; m < 5; ++m)
      row.push_back(
          {(r + m) % 50 == 0 ? longNote : QStringLiteral("Note %1 of row %2").arg(m).arg(r)});
    row.push_back({QStringLiteral("Contact %1").arg(r)});
    row.push_back({QStringLiteral("+7 495 %1").arg(1000000 + r)});
    row.push_back({QStringLiteral("Zürich")});
    row.push_back({{}, r % 2 == 0});
    row.push_back({{}, r % 3 == 0});
    table.rows.push_back(std::move(row));
  }
  return table;
}

}  // namespace

int main() {
  const std::vector<Table> tables = {ContactTable()};
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("contacts.mdb"));
  double best = 1e18;
  for (int i = 0; i < kRepeats; ++i) {
    QElapsedTimer timer;
    timer.start();
    Error error;
    if (!WriteDatabase(path, tables, &error)) {
      std::fprintf(stderr, "%s\n", qPrintable(error.text));
      return 1;
    }
    best = std::min(best, timer.nsecsElapsed() / 1e6);
  }
  std::printf("Jet 4 writer: %d rows of 11 columns in %.0f ms, file %.1f MB\n", kRows, best,
              QFileInfo(path).size() / 1048576.0);
  return 0;
}
