// What the window shows of the model: the form, record and folder in view,
// the mode and the designer's selection.
#pragma once

namespace orbo {

struct DisplayState {
  int CurForm = -1;
  int CurRecord = -1;  // -1: a folder is open
  int CurFolder = 0;
  int EditMode = 0;
  int SelType = -1;
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
