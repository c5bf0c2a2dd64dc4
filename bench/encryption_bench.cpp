// Opening and saving the largest database encrypted, against the classic
// protected file: the encrypted times less the key derivation, which an
// empty file measures alone. A save derives its key while the classic file
// is written, so its difference may come out below the classic save.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench_database.h"
#include "bench_timing.h"
#include "storage/database_file.h"
#include "storage/encrypted_file.h"
#include "storage/stream_library.h"

using namespace orbo;
using namespace orbo::bench;

namespace {

constexpr int kRepeats = 9;
const QString kPassword = QStringLiteral("bench-password");

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Check(bool ok) {
  if (ok) return;
  std::fprintf(stderr, "encryption_bench: a run failed\n");
  std::exit(1);
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("bench.2db"));
  Database model = BenchDatabase();
  model.PasswordOn = true;
  model.Password = kPassword;
  CodePage codePage;
  const auto save = [&] { return WriteDatabaseFile(model, path, codePage).ok; };
  const auto load = [&] {
    return ReadDatabaseFile(path, codePage, kPassword).status == ReadOutcome::kLoaded;
  };

  // Each round times the key derivation next to the work that includes it,
  // so the difference is taken under the same load of the machine.
  std::vector<double> classicSave, classicLoad, sealedSave, sealedLoad, saveBeyond, loadBeyond;
  QByteArray empty;
  for (int round = 0; round < kRepeats; ++round) {
    model.Encrypted = false;
    classicSave.push_back(Ms([&] { Check(save()); }));
    classicLoad.push_back(Ms([&] { Check(load()); }));
    model.Encrypted = true;
    const double seal = Ms([&] { empty = SealFile({}, kPassword); });
    sealedSave.push_back(Ms([&] { Check(save()); }));
    const double open = Ms([&] { Check(OpenSealedFile(empty, kPassword).isEmpty()); });
    sealedLoad.push_back(Ms([&] { Check(load()); }));
    saveBeyond.push_back(sealedSave.back() - seal);
    loadBeyond.push_back(sealedLoad.back() - open);
  }
  const long long sealedBytes = QFile(path).size();
  std::printf("encryption_bench: %d records, %d folders (medians of %d rounds)\n", kRecords,
              kFolders, kRepeats);
  Row("save, classic protection", Median(classicSave));
  Row("save, encrypted", Median(sealedSave));
  Row("save, encrypted, beyond the key derivation", Median(saveBeyond));
  Row("load, classic protection", Median(classicLoad));
  Row("load, encrypted", Median(sealedLoad));
  Row("load, encrypted, beyond the key derivation", Median(loadBeyond));
  std::printf("  ratio beyond the key: save %.2f   load %.2f   file %lld bytes\n",
              Median(saveBeyond) / Median(classicSave), Median(loadBeyond) / Median(classicLoad),
              sealedBytes);
  return 0;
}
