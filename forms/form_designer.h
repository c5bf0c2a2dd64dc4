// The form designer: in edit mode the canvas becomes a design surface.
// Elements are added with the edit toolbar's tools, selected, moved by
// dragging and resized with eight handles; elements and forms are deleted,
// forms added, cloned and chosen; a dot grid snaps positions. Every change
// goes to the model (designer_logic), the canvas is redrawn and the
// database marked modified.
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

#include "forms/designer_logic.h"

class QComboBox;
class QMenu;
class QMouseEvent;
class QWidget;

namespace orbo {

class App;
class FormCanvas;
class PropertiesDialog;

class FormDesigner : public QObject {
 public:
  FormDesigner(App& app, FormCanvas& canvas);
  ~FormDesigner() override;

  // Edit mode begins: the current form is drawn, selected and gridded.
  void Start();
  // Selects element (type, slot), the form (-1) or the database (-2).
  void SelectElement(int type, int slot);
  // Adds an element at (x, y) twips of the canvas and selects it.
  void AddElement(int type, int x, int y);
  void DeleteElement();
  bool AddForm();
  void CloneForm();
  void DeleteForm();
  // Draws form and selects it.
  void ChooseForm(int form);
  void ToggleGrid();
  // Draws or clears the grid as the settings say.
  void DrawGrid();
  // FormCombo, mnuSelForm and the add-record lists after forms changed.
  void RebuildFormLists();
  // Draws the current form again, with the grid and the handles.
  void Redraw();
  // The properties dialog for the selection.
  void ShowProperties();

  QComboBox& FormCombo() const { return *formCombo_; }
  // Told when the forms changed, for the lists of database mode.
  std::function<void()> onFormsChanged;

 private:
  enum class Gesture { kNone, kMove, kResize };

  void ConnectCommands();
  void PlaceHandles();
  // The selected element's box, or the canvas's, in twips of the canvas.
  QRect SelectedBox() const;
  void ApplyBox(const QRect& box);
  // Stores the box of the selection's gesture; the rest of the form keeps
  // its stored geometry.
  void CommitGeometry();
  void RetitleRecordsOfForm();
  int ArmedType() const;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool CanvasEvent(QMouseEvent* event);
  bool HandleEvent(int handle, QMouseEvent* event);
  // Ends a gesture of that kind: what it changed is stored as one command.
  bool FinishGesture(Gesture gesture);
  QPoint CanvasTwips(const QPoint& pixels) const;

  App& app_;
  FormCanvas& canvas_;
  QComboBox* formCombo_;
  std::unique_ptr<PropertiesDialog> properties_;  // made when first shown
  Gesture gesture_ = Gesture::kNone;
  QPoint grab_;        // twips inside the element (move) or cursor pixels (resize)
  QRect startBox_;     // twips
  QRect box_;          // twips, as the gesture leaves it
  HandleEdges edges_;
};

}  // namespace orbo
