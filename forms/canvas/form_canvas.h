// The form canvas of the main window: the viewport BackPic holding the
// canvas MainPic, its scroll bars, corner box and shadow, and one control
// per element in seven arrays (SomeImage, SomeLabel, SomeText, SomeButt,
// SomeCombo with its edit-mode imitation ComboPic, SomeFlag, SomeTextM).
// It draws a form and puts a record's values into the controls; what the
// user does with them is the record editor's business.
#pragma once

#include <QObject>
#include <QPixmap>
#include <QRect>
#include <array>
#include <functional>
#include <vector>

#include "shell/record_surface.h"
#include "shell/window_context.h"

class QComboBox;
class QLabel;
class QListWidget;
class QScrollBar;
class QToolButton;
class QWidget;

namespace orbo {

class FormCanvas : public QObject, public RecordSurface {
 public:
  // Builds the canvas inside page; iconFolder holds combo.gif and quick.gif.
  FormCanvas(QWidget& page, const QString& iconFolder, WindowContext& context);
  ~FormCanvas() override;

  // Draws form on the canvas and makes it CurForm (-1: nothing is done).
  void DrawForm(int form) override;
  // Sizes the scroll bars and places the canvas in the viewport.
  void LayoutCanvas();
  // Puts the values of record (of the drawn form) into the controls. A combo
  // value that names no line shows as no choice; the record stays as it is.
  void FillRecordValues(int record) override;
  // The part of the drawn form that the window shows, on the screen.
  QRect ShownArea() const override;
  void ShowFound(int type, int slot, int position, int length) override;

  // The control of element (type, slot), made when first asked for; the
  // combo imitation for a combo in edit mode. nullptr for a type outside 0..6.
  QWidget* Control(int type, int slot);
  // How many members the control array of type holds.
  int ControlCount(int type) const;
  // The drop-down of combo slot in database mode.
  QComboBox* Combo(int slot);

  QWidget& Backdrop() const { return *backdrop_; }
  QWidget& FormArea() const { return *formArea_; }
  QScrollBar& HorizontalScroll() const { return *hScroll_; }
  QScrollBar& VerticalScroll() const { return *vScroll_; }
  QToolButton& QuickListButton() const { return *quickListButton_; }
  QListWidget& QuickList() const { return *quickList_; }
  // The designer's eight selection handles on the viewport, coloured for
  // the canvas.
  QLabel& SelectionHandle(int handle) const { return *handles_[static_cast<std::size_t>(handle)]; }
  // The element whose control shows at point (canvas pixels), topmost
  // first: (type, slot), or (-1, -1) for the bare canvas.
  std::pair<int, int> ElementAt(const QPoint& point);
  // Dots every stepX by stepY twips over the canvas colour, or none.
  void DrawGrid(bool show, int stepX, int stepY);

  // Conversions for the canvas's screen: 1440 twips per logical inch.
  int PixelsX(int twips) const;
  int PixelsY(int twips) const;
  int TwipsX(int pixels) const;
  int TwipsY(int pixels) const;
  // An element box in twips as a widget rectangle.
  QRect Pixels(const QRect& twips) const;

  // Told when a control is made, so the record editor can listen to it.
  std::function<void(int type, int slot, QWidget* control)> onControlCreated;

 private:
  QWidget* MakeControl(int type, int slot);
  void ApplyElement(int type, int slot, QWidget* control);
  void PlaceElement(int type, int slot, QWidget* control);
  void OrderTabs(const FormDef& form);
  void ShowNames();
  void ColourHandles();
  void FillImage(int slot, const RecordData& record);
  QPixmap ComboImitation(int slot, int height) const;
  bool eventFilter(QObject* watched, QEvent* event) override;

  WindowContext& context_;
  QWidget* backdrop_;
  QWidget* formArea_;
  QScrollBar* hScroll_;
  QScrollBar* vScroll_;
  QWidget* corner_;
  QWidget* shadowX_;
  QWidget* shadowY_;
  QToolButton* quickListButton_;
  QListWidget* quickList_;
  std::array<QLabel*, 8> handles_{};
  QPixmap comboArrow_;
  std::array<std::vector<QWidget*>, kElementTypeCount> controls_;
  // The focus each kind of field takes in database mode; while forms are
  // designed the canvas takes the keys.
  std::array<Qt::FocusPolicy, kElementTypeCount> fieldFocus_{};
  std::vector<QLabel*> comboPics_;
  bool drawn_ = false;
  // The record whose values the controls showed last.
  int filledRecord_ = -1;
};

}  // namespace orbo
