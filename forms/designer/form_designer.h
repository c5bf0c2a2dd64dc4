// The form designer: in edit mode the canvas becomes a design surface.
// Elements are added with the edit toolbar's tools, selected, moved by
// dragging and resized with eight handles, or by keys: Tab selects the next
// element as the form is read, arrows move it and Shift+arrows resize it by
// a grid step, Return places an armed tool's element or opens the
// properties, the menu key opens the Editor menu; elements and forms are deleted,
// forms added, cloned and chosen; a dot grid snaps positions. Every change
// goes to the model (designer_logic) as one undo step, and the canvas is
// redrawn. After an undo or redo the handles and the form lists follow.
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <functional>
#include <vector>

#include "forms/designer/designer_logic.h"
#include "storage/model_delta.h"
#include "storage/text_id.h"

class QAction;
class QComboBox;
class QKeyEvent;
class QMenu;
class QMouseEvent;
class QWidget;

namespace orbo {

class FormCanvas;
struct WindowContext;

class FormDesigner : public QObject {
 public:
  FormDesigner(WindowContext& context, FormCanvas& canvas);
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
  // The properties dialog for the selection, in edit mode.
  void ShowProperties();
  // Arms an element tool, or the selection arrow for nullptr.
  void ChooseTool(QAction* tool);

  QComboBox& FormCombo() const { return *formCombo_; }
  // Shows the properties dialog for the selection.
  std::function<void()> onPropertiesAsked;

 private:
  // What the mouse does on the design surface: nothing, moving an element
  // or dragging a handle. A gesture keeps what it drags; the release of the
  // left button stores it, and every other way out (another button, Escape,
  // a mode switch, a menu, the focus going elsewhere) puts the dragged
  // control back, so no gesture outlives the press that began it.
  struct Gesture {
    enum Kind { kIdle, kMove, kResize };
    Kind kind = kIdle;
    int form = -1;
    int type = -1;  // -1: the form itself
    int slot = 0;
    QPoint grab;  // twips inside the element (move) or cursor pixels (resize)
    QRect start;  // twips
    QRect box;    // twips, as the gesture leaves it
    HandleEdges edges;
  };

  void ConnectCommands();
  // A step was made, undone or redone: the lists and the handles follow.
  void FollowModel(const ChangedParts& parts, bool undoOrRedo);
  // Changes the model as one undo step named by text entry step.
  bool Change(TextId step, const ChangeScope& scope, const std::function<void()>& change);
  void PlaceHandles();
  // The box of element (type, slot), or the canvas's for type -1, in twips.
  QRect BoxOf(int type, int slot) const;
  QRect SelectedBox() const;
  void ApplyBox(int type, int slot, const QRect& box);
  // Stores the box of a gesture; the rest of the form keeps its stored
  // geometry. Runs inside the step that records the gesture.
  void CommitGeometry(const Gesture& gesture);
  void TellTooManyForms();
  // The selection and the form shown, set inside a step so that its redo
  // shows them again.
  void Select(int type, int slot);
  void Show(int form);
  int ArmedType() const;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool CanvasPress(QMouseEvent* event);
  bool HandlePress(int handle, QMouseEvent* event);
  bool CanvasKey(QKeyEvent* event);
  // Selects the element before or after the selection in reading order;
  // false past either end, where the focus leaves the canvas.
  bool SelectNeighbour(bool forward);
  // Moves or resizes the selection by (dx, dy) grid steps, as one step.
  void NudgeSelection(int dx, int dy, bool resize);
  // Return: the armed tool's element where the visible canvas begins, else
  // the selection's properties.
  void EnterKey();
  // Stores the box a gesture or a key gave the selection as one command;
  // false when refused while another command runs.
  bool StoreBox(const Gesture& done);
  void BeginGesture(Gesture::Kind kind, const QPoint& grab, int handle);
  void FollowGesture(QMouseEvent* event);
  // The left button went up: what the gesture changed is stored as one
  // command.
  void FinishGesture();
  void CancelGesture();
  // Whether the gesture's element or form is still the selection drawn.
  bool GestureApplies() const;
  QPoint CanvasTwips(const QPoint& pixels) const;

  WindowContext& context_;
  FormCanvas& canvas_;
  QComboBox* formCombo_;
  Gesture gesture_;
};

}  // namespace orbo
