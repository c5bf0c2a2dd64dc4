// The model's rules, which the window checks after every command: one check
// of the largest tables (32000 records, 32000 folders in a deep tree, 1000
// forms of 16 elements of every type), as the window makes it.
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "storage/model_defaults.h"
#include "storage/model_invariants.h"
#include "storage/navigation_logic.h"

using namespace orbo;

namespace {

constexpr int kForms = 1000;
constexpr int kChecks = 200;

Database LargestModel() {
  Database db;
  SetCount(db, kFormsKind, kForms);
  for (int f = 0; f < kForms; ++f) {
    FormDef& form = db.Forms[static_cast<std::size_t>(f)];
    ApplyNewFormDefaults(form, f, {});
    form.ElementCount.fill(kMaxElementsPerType);
    form.TitleElement = {kMultiline, 15};
  }
  SetCount(db, kFoldersKind, kMaxFolders);
  for (int d = 0; d < kMaxFolders; ++d) {
    NewFolder(db, d);
    // Chains of 100 folders, each inside the one before.
    db.Folders[static_cast<std::size_t>(d)].Parent =
        static_cast<std::int16_t>(d % 100 == 0 ? TopLevelParent : d - 1);
  }
  SetCount(db, kRecordsKind, kMaxRecords);
  for (int i = 0; i < kMaxRecords; ++i) {
    NewRecord(db, i);
    RecordData& record = db.Records[static_cast<std::size_t>(i)];
    record.Folder = static_cast<std::int16_t>(i % 7 == 0 ? BufferFolder : i % kMaxFolders);
    record.Form = static_cast<std::int16_t>(i % kForms);
  }
  RecountBuffers(db);
  return db;
}

}  // namespace

int main() {
  const Database db = LargestModel();
  DisplayState state;
  state.CurForm = 0;
  state.CurFolder = 1;
  state.CurRecord = 1;
  std::vector<double> ms;
  for (int i = 0; i < kChecks; ++i) {
    QElapsedTimer timer;
    timer.start();
    std::vector<ModelProblem> problems = FindModelProblems(db);
    for (const ModelProblem& problem : FindDisplayProblems(db, state)) problems.push_back(problem);
    ms.push_back(timer.nsecsElapsed() / 1e6);
    if (!problems.empty()) {
      std::printf("the model breaks its rules: %s\n",
                  qPrintable(DescribeProblem(problems.front())));
      return 1;
    }
  }
  std::sort(ms.begin(), ms.end());
  std::printf("The model's rules, one check after a command (%d checks):\n", kChecks);
  std::printf("  %-52s %9.3f ms\n", "32000 records, 32000 folders, 1000 forms: best", ms.front());
  std::printf("  %-52s %9.3f ms\n", "median", ms[ms.size() / 2]);
  std::printf("  %-52s %9.3f ms\n", "slowest", ms.back());
  return 0;
}
