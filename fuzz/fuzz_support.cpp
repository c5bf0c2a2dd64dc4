#include "fuzz_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "sample_databases.h"
#include "storage/database_file.h"
#include "storage/model_invariants.h"
#include "storage/stream_library.h"

namespace orbo::fuzz {

QString ScratchFolder() {
  static const QTemporaryDir folder = [] {
    // The library is loaded by name, from the fuzz build's program folder.
    stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
    return QTemporaryDir();
  }();
  return folder.path();
}

QString WriteInput(const std::uint8_t* data, std::size_t size, const QString& name) {
  const QString path = ScratchFolder() + QLatin1Char('/') + name;
  QFile file(path);
  const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                       file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
                           static_cast<qint64>(size);
  Require(written, "the input could not be written to the scratch folder");
  return path;
}

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz finding: %s\n", what);
  std::abort();
}

void CheckSavesAndLoadsBack(const Database& db, CodePage& codePage) {
  const std::vector<ModelProblem> problems = FindModelProblems(db, 1);
  if (!problems.empty())
    std::fprintf(stderr, "%s\n", qPrintable(DescribeProblem(problems.front())));
  Require(problems.empty(), "a parsed model breaks its invariants");
  const QString copy = ScratchFolder() + QStringLiteral("/resaved.2db");
  const WriteOutcome written = WriteDatabaseFile(db, copy, codePage);
  if (!written.ok) std::fprintf(stderr, "%s\n", qPrintable(written.error));
  Require(written.ok, "a parsed model cannot be saved");
  const ReadOutcome read = ReadDatabaseFile(copy, codePage, db.Password);
  Require(read.status == ReadOutcome::kLoaded, "a saved model does not load");
  const QString difference = StoredDifference(read.db, db);
  if (!difference.isEmpty()) std::fprintf(stderr, "differs in %s\n", qPrintable(difference));
  Require(difference.isEmpty(), "a saved model loads back different");
}

void CheckDatabaseFile(const std::uint8_t* data, std::size_t size, const QString& password) {
  const QString path = WriteInput(data, size, QStringLiteral("input.2db"));
  CodePage codePage;
  const ReadOutcome read = ReadDatabaseFile(path, codePage, password);
  if (read.status == ReadOutcome::kLoaded) CheckSavesAndLoadsBack(read.db, codePage);
}

}  // namespace orbo::fuzz
