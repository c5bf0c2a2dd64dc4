// Editing the shown record through the element controls of the canvas: the
// values typed, chosen and checked, the quick list of earlier values, the
// picture commands, what buttons do and how their values are set, and the
// media they play. Only in database mode; in edit mode the same controls
// belong to the designer.
#pragma once

#include <QObject>
#include <functional>

class QLineEdit;
class QMenu;
class QTextEdit;
class QWidget;

namespace orbo {

class App;
class FormCanvas;
struct RecordData;

class RecordEditor : public QObject {
 public:
  RecordEditor(App& app, FormCanvas& canvas);
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
  // Stores an edit of element (type, slot) into the shown record as one
  // command; a value that arrives while another command runs is dropped and
  // the controls show the record again.
  void Store(int type, int slot, const std::function<void(RecordData&)>& store);
  void RecordFieldChanged(int type, int slot);
  void StoreMemo(int slot, QTextEdit* memo);
  void OfferQuickList(int slot, QLineEdit* text);
  void OpenQuickList();
  void TakeQuickValue(const QString& value);
  void ShowRecordAgain();
  void SayInStatusBar(int entry, const QString& what);
  void OpenInDesktop(const QUrl& url, const QString& what);
  void ShowMediaButtons(bool show);
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool ImageEvent(int slot, QEvent* event);
  bool ButtonEvent(int slot, QEvent* event);
  bool TextEvent(int slot, QLineEdit* text, QEvent* event);

  App& app_;
  FormCanvas& canvas_;
  QMenu* recordMenu_;
  int quickSlot_ = -1;
};

}  // namespace orbo
