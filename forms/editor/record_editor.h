// Editing the shown record through the element controls of the canvas: the
// values typed, chosen and checked, the quick list of earlier values, the
// picture commands, what buttons do and how their values are set, and the
// media they play. Only in database mode; in edit mode the same controls
// belong to the designer. Every value stored is an undo step; typing into
// one box is one step per word.
#pragma once

#include <QObject>
#include <functional>

#include "storage/text_id.h"

class QKeyEvent;
class QLineEdit;
class QMenu;
class QTextEdit;
class QUrl;
class QWidget;

namespace orbo {

class FormCanvas;
class Navigator;
struct RecordData;
struct WindowContext;

class RecordEditor : public QObject {
 public:
  RecordEditor(WindowContext& context, FormCanvas& canvas, Navigator& navigator);
  ~RecordEditor() override;

  // The tick's media step: the media buttons and the "mci" panel follow the
  // player.
  void UpdateMediaStatus();
  // Another database replaced this one: its media closes, and the media
  // buttons and the "mci" panel go.
  void CloseMedia();
  // The record pop-up menu mnuRecord with the picture commands.
  QMenu& RecordMenu() const { return *recordMenu_; }

  // The picture commands on image slot SelIndex.
  void ChangePicture();
  void OpenPicture();
  // A click on the button of slot, and setting its value.
  void ClickButton(int slot);
  void AskButtonValue(int slot);

 private:
  void Listen(int type, int slot, QWidget* control);
  bool Editing() const;
  // Stores an edit into the shown record as one
  // command and one undo step named by step (steps with the same non-empty
  // mergeKey in a row become one); a value that arrives while another
  // command runs is dropped and the controls show the record again.
  void Store(TextId step, const QString& mergeKey, const std::function<void(RecordData&)>& store);
  // The undo step of a value changed inside a command; false when the
  // value was the same.
  bool ChangeShownRecord(TextId step, const std::function<void(RecordData&)>& store);
  // A text or multiline value typed: one step per word.
  void StoreTyped(int type, int slot, const QString& value);
  void OfferQuickList(int slot, QLineEdit* text);
  void OpenQuickList();
  void TakeQuickValue(const QString& value);
  void ShowRecordAgain();
  void SayInStatusBar(TextId text, const QString& what);
  void OpenInDesktop(const QUrl& url, const QString& what);
  void ShowMediaButtons(bool show);
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool ImageEvent(int slot, QEvent* event);
  bool ImageKey(int slot, QKeyEvent* key);
  bool ButtonEvent(int slot, QEvent* event);
  bool TextEvent(int slot, QLineEdit* text, QEvent* event);

  WindowContext& context_;
  FormCanvas& canvas_;
  Navigator& navigator_;
  QMenu* recordMenu_;
  int quickSlot_ = -1;
  // Counts the words typed: a blank after a non-blank begins the next one.
  int typedWord_ = 0;
};

}  // namespace orbo
