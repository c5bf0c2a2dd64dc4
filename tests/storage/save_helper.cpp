// Saves a database of about ten megabytes, so that a test can kill the save
// part-way: save_helper PATH VERSION KEEP. The version names the first
// folder, so two versions differ; KEEP backups are kept; "saving" on
// standard output says the save began.
#include <QCoreApplication>
#include <cstdio>

#include "sample_databases.h"
#include "storage/database_file.h"
#include "storage/stream_library.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 4) return 2;
  orbo::stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  orbo::Database db = orbo::test::LargeDatabase();
  for (int r = 0; r < db.RecordCount; ++r) {
    QString& memo = db.Records[r].MemoValue[0];
    if (memo.size() * 4 <= orbo::stream::kMaxStringBytes) memo = memo.repeated(4);
  }
  db.Folders[0].Name = QString::fromLocal8Bit(argv[2]);
  orbo::CodePage codePage;
  std::puts("saving");
  std::fflush(stdout);
  const orbo::WriteOutcome outcome = orbo::WriteDatabaseFile(
      db, QString::fromLocal8Bit(argv[1]), codePage, {.keepBackups = QByteArray(argv[3]).toInt()});
  if (!outcome.ok) std::fprintf(stderr, "%s\n", qPrintable(outcome.error));
  return outcome.ok ? 0 : 1;
}
