// The main window MainForm: folder tree on the left, folder contents or the
// form canvas on the right, two toolbars, the status bar and the progress
// indicator. What the commands do lives in App and the logic files.
#pragma once

#include <QMainWindow>
#include <functional>

#include "forms/icons/image_list.h"
#include "shell/main_commands.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QToolButton;
class QProgressBar;
class QSplitter;
class QStackedWidget;
class QTableView;
class QTimer;

namespace orbo {

class FolderTreeView;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // iconFolder holds toolbar/<key>.png and the built-in icons builtin/<key>.png.
  explicit MainWindow(const QString& iconFolder);

  MainCommands& Commands() { return commands_; }
  // The icons of records and folders, by key.
  ImageList& Icons() { return icons_; }
  QTimer& UpdateTimer() { return *updateTimer_; }
  FolderTreeView& MainList() { return *mainList_; }
  QListView& ContentsList() { return *contentsList_; }
  QTableView& RecordTable() { return *recordTable_; }
  // The form whose records the table shows.
  QComboBox& TableForms() { return *tableForms_; }
  // The status bar's count of the table's rows selected.
  QLabel& TableSelection() { return *tableSelection_; }
  QLineEdit& RootText() { return *rootText_; }
  QToolButton& RootButton(const char* name) const;
  // Where the form canvas builds its viewport and scroll bars.
  QWidget& CanvasPage() { return *canvasPage_; }
  // The icon of a key as the views show it; built once per key.
  QIcon IconFor(const QString& key);
  QLabel& StatusPanel(const QString& key) const;

  // Called by the window; App sets them.
  std::function<bool()> onCloseRequested;  // false keeps the window open
  std::function<void()> onResized;
  std::function<void(const QString& key)> onStatusPanelClicked;
  // The tree's new width in pixels, when the user lets go of the splitter.
  std::function<void(int treeWidth)> onSplitterMoved;

  // ShowProgress: below 100 shows the bar and makes the window busy, 100 or
  // more ends it. An empty text shows the general please-wait text.
  void ShowProgress(int value, const QString& text, const QString& pleaseWait);
  bool Busy() const { return busy_; }

  // Places the regions: tree width and list extra width in twips.
  void LayoutMainWindow(int splitterPos, int listExtraWidth, bool showStatusBar);
  // Shows the folder contents (true) or the canvas (false) right of the tree.
  void ShowFolderView(bool folder);
  // Shows the records as a table (true) or the contents list below the
  // folder header.
  void ShowRecordTable(bool table);

  // Twips per screen pixel.
  double TwipsPerPixelX() const;
  double TwipsPerPixelY() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildRegions();
  void LoadBuiltinIcons(const QString& folder);
  void BuildRecordTable();
  void BuildStatusBar();
  void SetBusy(bool busy);

  MainCommands commands_;
  ImageList icons_;
  QTimer* updateTimer_;
  QSplitter* splitter_ = nullptr;
  FolderTreeView* mainList_ = nullptr;
  QLineEdit* rootText_ = nullptr;
  QHash<QString, QIcon> iconCache_;
  QStackedWidget* rightSide_ = nullptr;
  QWidget* folderPage_ = nullptr;
  QStackedWidget* folderViews_ = nullptr;
  QListView* contentsList_ = nullptr;
  QWidget* tablePage_ = nullptr;
  QComboBox* tableForms_ = nullptr;
  QTableView* recordTable_ = nullptr;
  QLabel* tableSelection_ = nullptr;
  QWidget* canvasPage_ = nullptr;
  QProgressBar* pleaseWaitBar_ = nullptr;
  QLabel* pleaseWaitText_ = nullptr;
  bool busy_ = false;
  // The busy menus' states from before the long operation.
  QHash<QString, bool> menusBeforeBusy_;
};

}  // namespace orbo
