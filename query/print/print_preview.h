// PrinterForm: the page of a record as it will print, drawn off screen on
// PrintPic and shown scaled in Image1. Steps through the print list, zooms,
// turns the paper, and moves the form's print offsets by dragging the page:
// the moves of one print dialog session are one undo step.
#pragma once

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <vector>

#include "query/print/preview_geometry.h"
#include "storage/database_model.h"
#include "storage/text_id.h"

class QLabel;
class QPrinter;
class QPushButton;
class QScrollBar;

namespace orbo {

struct WindowContext;

class PrintPreview : public QDialog {
 public:
  struct Context {
    WindowContext& window;
    QPrinter& printer;
    const std::vector<int>& order;  // the print list in print order
    int& position;                  // the entry of order shown
    const QString& stepKey;         // the moves under one key fold into one step
  };
  PrintPreview(Context context, double screenTwipsPerPixel, QWidget* parent);

  // Shows the page at zoom level kPreviewStartZoom, modal.
  void Open();
  int Zoom() const { return zoom_; }
  const QImage& PrintPic() const { return printPic_; }
  QLabel& Image1() const { return *pageImage_; }

 private:
  void Render();
  void ShowPage();
  void LayoutPage();
  void Step(int by);
  void SetZoom(int level);
  void TurnPaper();
  void MoveOffsets(const QPoint& distance);
  void ResetOffsets();
  // Gives the shown record's form the offsets, as an undo step named by
  // language text 979/step, folded into the session's step.
  void SetOffsets(int form, std::int32_t x, std::int32_t y, TextId step);
  // The form of the shown record, or -1.
  int ShownForm() const;
  QSizeF PageTwips() const;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

  Context context_;
  double screenTwipsPerPixel_;
  QImage printPic_;
  int zoom_ = kPreviewStartZoom;
  QPoint pressAt_;
  QWidget* viewport_;
  QLabel* pageImage_;
  QScrollBar* hScroll_;
  QScrollBar* vScroll_;
  QPushButton* prevRec_;
  QPushButton* nextRec_;
  QPushButton* scalePlus_;
  QPushButton* scaleMinus_;
  QPushButton* orientationButton_;
  QPushButton* closeButton_;
};

}  // namespace orbo
