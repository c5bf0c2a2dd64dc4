// Find and Find next: runs the search the find dialog describes from the
// shown record, shows the record found and logs every hit; marking the
// shown record is one undo step.
#pragma once

#include <QString>
#include <memory>

namespace orbo {

class FindDialog;
class Navigator;
class RecordSurface;
struct FindHit;
struct WindowContext;

class Finder {
 public:
  // Connects the find commands of the main window; the lists follow the
  // forms and the start of database mode.
  Finder(WindowContext& context, Navigator& navigator, RecordSurface& surface);
  ~Finder();

  // mnuFind: the dialog, modally.
  void Open();
  // mnuFindNext and FindButt: on from the shown record.
  void FindNext();
  // After the forms may have changed.
  void ResetLists();
  // The dialog, made hidden on first use.
  FindDialog& Dialog();

 private:
  void Search(int start);
  // The open dialog moves off the record it found, as far as the screen
  // allows.
  void KeepRecordInSight();
  // Adds the hit's line while the log is short enough.
  void Log(const FindHit& hit);
  void MarkShown();

  WindowContext& context_;
  Navigator& navigator_;
  RecordSurface& surface_;
  std::unique_ptr<FindDialog> dialog_;
  // The result log as stored, lines ending in CR LF.
  QString log_;
};

}  // namespace orbo
