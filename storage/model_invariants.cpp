#include "storage/model_invariants.h"

#include <algorithm>

namespace orbo {
namespace {

std::size_t At(int i) { return static_cast<std::size_t>(i); }

// Collects problems up to a limit, so a badly damaged model is described
// without building a list as long as its tables.
class ProblemList {
 public:
  explicit ProblemList(int limit) : limit_(limit) {}
  bool Full() const { return static_cast<int>(problems_.size()) >= limit_; }
  void Add(ModelProblem problem) {
    if (!Full()) problems_.push_back(problem);
  }
  std::vector<ModelProblem> Take() { return std::move(problems_); }

 private:
  int limit_;
  std::vector<ModelProblem> problems_;
};

bool CountsFitTables(const Database& db) {
  return db.FormCount >= 0 && db.RecordCount >= 0 && db.FolderCount >= 0 &&
         At(db.FormCount) <= db.Forms.size() && At(db.RecordCount) <= db.Records.size() &&
         At(db.RecordCount) <= db.RecordMarks.size() && At(db.FolderCount) <= db.Folders.size();
}

void CheckForms(const Database& db, ProblemList& list) {
  for (int f = 0; f < db.FormCount && !list.Full(); ++f) {
    const FormDef& form = db.Forms[At(f)];
    bool countsValid = true;
    for (int t = 0; t < kElementTypeCount; ++t) {
      const int count = form.ElementCount[At(t)];
      if (count < 0 || count > kMaxElementsPerType) {
        list.Add({ModelProblem::kElementCount, f, count, t});
        countsValid = false;
      }
    }
    if (countsValid && !IsValidTitleElement(form, form.TitleElement)) {
      list.Add({ModelProblem::kTitleElement, f, form.TitleElement.Code()});
    }
  }
}

void CheckRecords(const Database& db, ProblemList& list) {
  int free = 0;
  for (int r = 0; r < db.RecordCount && !list.Full(); ++r) {
    const RecordData& record = db.Records[At(r)];
    // Free slots are written like records, so they need a form too.
    if (record.Form < 0 || record.Form >= db.FormCount) {
      list.Add({ModelProblem::kRecordForm, r, record.Form});
    }
    if (record.Folder == BufferFolder) {
      ++free;
    } else if (!IsFolderIndex(db, record.Folder)) {
      list.Add({ModelProblem::kRecordFolder, r, record.Folder});
    }
  }
  if (!list.Full() && free != db.BufferCount) {
    list.Add({ModelProblem::kBufferCount, -1, db.BufferCount, free});
  }
}

void CheckFolders(const Database& db, ProblemList& list) {
  for (int d = 0; d < db.FolderCount; ++d) {
    const int parent = db.Folders[At(d)].Parent;
    if (parent != TopLevelParent && !IsFolderIndex(db, parent)) {
      list.Add({ModelProblem::kFolderParent, d, parent});
    }
  }
  for (int folder : FoldersClosingLoops(db)) list.Add({ModelProblem::kFolderLoop, folder});
}

}  // namespace

std::vector<int> FoldersClosingLoops(const Database& db) {
  enum Visit : char { kUnvisited, kOnPath, kDone };
  std::vector<Visit> visit(At(std::max<int>(db.FolderCount, 0)), kUnvisited);
  std::vector<int> closing;
  for (int start = 0; start < db.FolderCount; ++start) {
    int d = start;
    while (IsFolderIndex(db, d) && visit[At(d)] == kUnvisited) {
      visit[At(d)] = kOnPath;
      d = db.Folders[At(d)].Parent;
    }
    if (IsFolderIndex(db, d) && visit[At(d)] == kOnPath) {
      // d lies on a loop met for the first time: name its lowest folder.
      int lowest = d;
      for (int k = db.Folders[At(d)].Parent; k != d; k = db.Folders[At(k)].Parent) {
        lowest = std::min(lowest, k);
      }
      closing.push_back(lowest);
    }
    for (d = start; IsFolderIndex(db, d) && visit[At(d)] == kOnPath; d = db.Folders[At(d)].Parent) {
      visit[At(d)] = kDone;
    }
  }
  std::sort(closing.begin(), closing.end());
  return closing;
}

bool IsValidTitleElement(const FormDef& form, ElementRef title) {
  // The code's sign tells a negative type or slot, which names nothing.
  if (title.Code() >= 0 && title.type < kElementTypeCount &&
      title.slot < form.ElementCount[At(title.type)]) {
    return true;
  }
  return title == kDefaultTitleElement && ReplacementTitle(form) == kDefaultTitleElement;
}

ElementRef ReplacementTitle(const FormDef& form) {
  if (form.ElementCount[kText] > 0) return kDefaultTitleElement;
  for (int t : kTitleTypes) {
    if (form.ElementCount[At(t)] > 0) return {t, 0};
  }
  return kDefaultTitleElement;
}

std::vector<ModelProblem> FindModelProblems(const Database& db, int limit) {
  ProblemList list(limit);
  if (!CountsFitTables(db)) {
    list.Add({ModelProblem::kCount});
    return list.Take();
  }
  CheckForms(db, list);
  CheckRecords(db, list);
  if (!list.Full()) CheckFolders(db, list);
  return list.Take();
}

std::vector<ModelProblem> FindDisplayProblems(const Database& db, const DisplayState& state) {
  std::vector<ModelProblem> problems;
  if (!IsFolderIndex(db, state.CurFolder))
    problems.push_back({ModelProblem::kShownFolder, -1, state.CurFolder});
  if (state.CurForm < -1 || state.CurForm >= db.FormCount) {
    problems.push_back({ModelProblem::kShownForm, -1, state.CurForm});
  }
  if (state.CurRecord != -1) {
    const bool live = state.CurRecord >= 0 && state.CurRecord < db.RecordCount &&
                      db.Records[At(state.CurRecord)].Folder != BufferFolder;
    if (!live) {
      problems.push_back({ModelProblem::kShownRecord, -1, state.CurRecord});
    } else if (db.Records[At(state.CurRecord)].Folder != state.CurFolder) {
      problems.push_back({ModelProblem::kShownRecordFolder, state.CurRecord, state.CurFolder});
    }
  }
  return problems;
}

QString DescribeProblem(const ModelProblem& p) {
  switch (p.kind) {
    case ModelProblem::kCount:
      return QStringLiteral("a count is negative or larger than its table");
    case ModelProblem::kRecordForm:
      return QStringLiteral("record %1: form %2 is not a form of the database")
          .arg(p.index)
          .arg(p.value);
    case ModelProblem::kRecordFolder:
      return QStringLiteral("record %1: folder %2 is not a folder of the database")
          .arg(p.index)
          .arg(p.value);
    case ModelProblem::kFolderParent:
      return QStringLiteral("folder %1: parent %2 is not a folder of the database")
          .arg(p.index)
          .arg(p.value);
    case ModelProblem::kFolderLoop:
      return QStringLiteral("folder %1 is its own ancestor").arg(p.index);
    case ModelProblem::kElementCount:
      return QStringLiteral("form %1: element count %2 of type %3 is outside 0 to %4")
          .arg(p.index)
          .arg(p.value)
          .arg(p.type)
          .arg(kMaxElementsPerType);
    case ModelProblem::kTitleElement:
      return QStringLiteral("form %1: title element %2 names no element of the form")
          .arg(p.index)
          .arg(p.value);
    case ModelProblem::kBufferCount:
      return QStringLiteral("BufferCount %1 differs from the %2 free slots")
          .arg(p.value)
          .arg(p.type);
    case ModelProblem::kShownRecord:
      return QStringLiteral("the shown record %1 is not a live record").arg(p.value);
    case ModelProblem::kShownFolder:
      return QStringLiteral("the current folder %1 is not a folder").arg(p.value);
    case ModelProblem::kShownForm:
      return QStringLiteral("the current form %1 is not a form").arg(p.value);
    case ModelProblem::kShownRecordFolder:
      return QStringLiteral("the current folder %1 is not the folder of the shown record %2")
          .arg(p.value)
          .arg(p.index);
  }
  return {};
}

QStringList DescribeProblems(const std::vector<ModelProblem>& problems) {
  QStringList lines;
  for (const ModelProblem& p : problems) lines << DescribeProblem(p);
  return lines;
}

}  // namespace orbo
