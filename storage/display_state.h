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

}  // namespace orbo
