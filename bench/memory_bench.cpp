// Peak memory of reading database files at the format's limits: orbo-cli
// info and dump run as child processes, and each one's peak resident size
// comes from wait4.
//   memory_bench
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "storage/database_file.h"
#include "storage/model_defaults.h"
#include "storage/stream_library.h"

extern char** environ;

using namespace orbo;

namespace {

constexpr std::int16_t kLimit = 32767;

FontSpec BenchFont() {
  FontSpec font;
  font.Name = QStringLiteral("Arial");
  font.Size = 10;
  return font;
}

// Every table at its largest; each record holds a note of noteLength
// characters, each folder a name.
Database LimitDatabase(std::int16_t forms, std::int16_t records, int noteLength) {
  Database db;
  ClearDatabase(db, BenchFont());
  SetCount(db, kFormsKind, forms);
  for (int f = 0; f < forms; ++f) ApplyNewFormDefaults(db.Forms[f], f, BenchFont());
  FormDef& first = db.Forms[0];
  first.ElementCount[kMultiline] = 1;
  ApplyNewElementDefaults(first, kMultiline, 0, BenchFont());
  SetCount(db, kFoldersKind, kLimit);
  for (int d = 0; d < kLimit; ++d) ApplyNewFolderDefaults(db.Folders[d], d);
  SetCount(db, kRecordsKind, records);
  const QString note(noteLength, QLatin1Char('n'));
  for (int r = 0; r < records; ++r) {
    db.Records[r].Folder = static_cast<std::int16_t>(r % kLimit);
    db.Records[r].MemoValue[0] = note;
  }
  RecountBuffers(db);
  return db;
}

// Peak resident size of the finished child in MB, or -1 when it failed.
double PeakMb(const QStringList& args) {
  QList<QByteArray> bytes;
  for (const QString& arg : args) bytes << QFile::encodeName(arg);
  std::vector<char*> argv;
  for (QByteArray& arg : bytes) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return -1;
  return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  stream::SetLibraryFolder(QStringLiteral(ORBO_BIN_DIR));
  QTemporaryDir dir;
  CodePage codePage;
  const QString cli = QStringLiteral(ORBO_BIN_DIR "/orbo-cli");
  struct Case {
    const char* name;
    std::int16_t forms;
    std::int16_t records;
    int noteLength;
  };
  const Case cases[] = {
      {"32767 empty forms, 32767 folders", kLimit, 0, 0},
      {"32767 forms, records and folders, 1600-character notes", kLimit, kLimit, 1600},
      {"1 form, 2000 records with notes of the longest length", 1, 2000, 100000},
  };
  std::printf("memory_bench: peak resident size of orbo-cli reading a file\n");
  for (const Case& c : cases) {
    const QString path = dir.filePath(QStringLiteral("limits.2db"));
    const WriteOutcome written =
        WriteDatabaseFile(LimitDatabase(c.forms, c.records, c.noteLength), path, codePage);
    if (!written.ok) {
      std::fprintf(stderr, "memory_bench: %s\n", qPrintable(written.error));
      return 1;
    }
    const double fileMb = static_cast<double>(QFile(path).size()) / (1024.0 * 1024.0);
    std::printf("  %s: file %.1f MB\n", c.name, fileMb);
    std::printf("    info %8.1f MB   dump %8.1f MB\n", PeakMb({cli, QStringLiteral("info"), path}),
                PeakMb({cli, QStringLiteral("dump"), path}));
  }
  return 0;
}
