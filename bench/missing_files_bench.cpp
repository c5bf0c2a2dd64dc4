// The check for missing pictures and files that runs at every open, merge,
// restore and recovery, at the largest size: 32767 records, each naming a
// picture of its own. Then the search of a folder holding all of them, and
// the change that names the files found.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "bench_database.h"
#include "bench_timing.h"
#include "storage/missing_files.h"

using namespace orbo;
using namespace orbo::bench;

namespace {

void MakeFiles(const QDir& folder, int count) {
  for (int r = 0; r < count; ++r) {
    QFile file(folder.filePath(QStringLiteral("photo%1.jpg").arg(r)));
    if (!file.open(QIODevice::WriteOnly))
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
  }
}

}  // namespace

int main() {
  QTemporaryDir work;
  const QDir root(work.path());
  Database db = BenchDatabase();
  db.DatabasePath = root.filePath(QStringLiteral("bench.2db"));
  std::printf("Missing files, %d records each naming its own picture\n", kRecords);

  std::vector<FileReference> missing;
  Row("check, every picture missing", Ms([&] { missing = MissingFiles(db); }));
  root.mkpath(QStringLiteral("found"));
  MakeFiles(QDir(root.filePath(QStringLiteral("found"))), kRecords);
  std::vector<FoundFile> found;
  Row("search a folder holding them all",
      Ms([&] { found = FindInFolder(missing, root.filePath(QStringLiteral("found"))); }));
  Row("name the files found", Ms([&] { PointAtFoundFiles(db, found); }));
  Row("check again, every picture there", Ms([&] { missing = MissingFiles(db); }));
  std::printf("  (%zu missing after the change)\n", missing.size());

  Database shared = BenchDatabase();
  shared.DatabasePath = db.DatabasePath;
  for (int r = 0; r < kRecords; ++r) shared.Records[r].ImageValue[0] = QStringLiteral("\\same.jpg");
  Row("check, every record naming one missing picture", Ms([&] { MissingFiles(shared); }));
  return 0;
}
