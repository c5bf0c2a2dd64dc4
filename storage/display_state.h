// What the window shows of the model: the form, record and folder in view,
// the mode and the designer's selection.
#pragma once

namespace orbo {

// Database mode shows and edits records; edit mode designs forms.
enum class WorkMode : int { Database = 0, Edit = 1 };

// SelType is one of these or an element type (0..6), and SelIndex the
// element's slot then.
enum SelectionKind : int { kSelectDatabase = -2, kSelectForm = -1 };

inline bool IsElementSelection(int selType) { return selType >= 0; }

struct DisplayState {
  int CurForm = -1;
  int CurRecord = -1;  // -1: a folder is open
  int CurFolder = 0;
  WorkMode EditMode = WorkMode::Database;
  int SelType = kSelectForm;
  int SelIndex = 0;
  bool EventsSuppressed = false;
};

// Raises EventsSuppressed while the program itself fills controls, so their
// change events are not taken for the user's edits; restores it after.
class SuppressEvents {
 public:
  explicit SuppressEvents(DisplayState& state) : state_(state), saved_(state.EventsSuppressed) {
    state_.EventsSuppressed = true;
  }
  ~SuppressEvents() { state_.EventsSuppressed = saved_; }
  SuppressEvents(const SuppressEvents&) = delete;
  SuppressEvents& operator=(const SuppressEvents&) = delete;

 private:
  DisplayState& state_;
  bool saved_;
};

}  // namespace orbo
