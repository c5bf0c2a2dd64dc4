// The rules a model keeps between commands, checked in one place: what a
// saved file needs to load again, and what the window may point at.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "storage/database_model.h"
#include "storage/display_state.h"

namespace orbo {

struct ModelProblem {
  enum Kind {
    kCount,             // a count is negative or larger than its table
    kRecordForm,        // index: record, value: its form
    kRecordFolder,      // index: live record, value: its folder
    kFolderParent,      // index: folder, value: its parent
    kFolderLoop,        // index: a folder that is its own ancestor
    kElementCount,      // index: form, value: the count, type: the element type
    kTitleElement,      // index: form, value: its title element code
    kBufferCount,       // value: BufferCount, type: the free slots counted
    kShownRecord,       // value: CurRecord
    kShownFolder,       // value: CurFolder
    kShownForm,         // value: CurForm
    kShownRecordFolder  // value: CurFolder, index: CurRecord
  };
  Kind kind;
  int index = -1;
  int value = 0;
  int type = 0;

  friend bool operator==(const ModelProblem&, const ModelProblem&) = default;
};

// The element types whose values title a record, in the order they are offered.
inline constexpr int kTitleTypes[] = {kImage, kText, kButton, kCombo, kFlag, kMultiline};
inline constexpr ElementRef kDefaultTitleElement{kText, 0};

// Whether title names an element of the form: any element, a label too (its
// records' title is then empty, as Find and Sort take it). A form with no
// element of the title types may also keep the default.
bool IsValidTitleElement(const FormDef& form, ElementRef title);
// What a title naming nothing becomes: the first text element, else the
// first element of a title type, else the default code.
ElementRef ReplacementTitle(const FormDef& form);

// The lowest folder of every parent loop, ascending.
std::vector<int> FoldersClosingLoops(const Database& db);

// Every way the model breaks the rules, at most limit of them; empty when
// it may be saved.
std::vector<ModelProblem> FindModelProblems(const Database& db, int limit = 20);
// What the display state points at must exist: a live record, a folder, a form.
std::vector<ModelProblem> FindDisplayProblems(const Database& db, const DisplayState& state);

// One line in English, for orbo-cli, logs and failed checks.
QString DescribeProblem(const ModelProblem& problem);
QStringList DescribeProblems(const std::vector<ModelProblem>& problems);

}  // namespace orbo
