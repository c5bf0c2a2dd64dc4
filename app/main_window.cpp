#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "shell/folder_tree_view.h"
#include "shell/named_widget.h"

namespace orbo {
namespace {

constexpr const char* kStatusPanels[] = {"main", "worktype", "grid", "mci"};
// The menus a running long operation makes unavailable.
constexpr const char* kBusyMenus[] = {"mnuFile", "mnuDatabase", "mnuEditor", "mnuOpt", "mnuMode"};

}  // namespace

MainWindow::MainWindow(const QString& iconFolder)
    : commands_(*this, iconFolder + QStringLiteral("/toolbar")), updateTimer_(new QTimer(this)) {
  setObjectName("MainForm");
  LoadBuiltinIcons(iconFolder + QStringLiteral("/builtin"));
  updateTimer_->setObjectName("UpdateTimer");
  updateTimer_->setInterval(500);
  BuildRegions();
  BuildStatusBar();
  for (int bar : {kMainBar, kEditBar}) {
    commands_.Bar(bar)->setContextMenuPolicy(Qt::PreventContextMenu);
    commands_.Bar(bar)->installEventFilter(this);
  }
}

void MainWindow::LoadBuiltinIcons(const QString& folder) {
  // The two default keys come first, the rest by name.
  QStringList keys{QStringLiteral("record"), QStringLiteral("root")};
  for (const QString& file :
       QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
    const QString key = QFileInfo(file).completeBaseName();
    if (!keys.contains(key)) keys << key;
  }
  for (const QString& key : keys) {
    QImage image(folder + u'/' + key + QStringLiteral(".png"));
    if (!image.isNull()) icons_.Add(key, image);
  }
}

void MainWindow::BuildRegions() {
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setChildrenCollapsible(false);
  mainList_ = new FolderTreeView(splitter_);
  mainList_->setHeaderHidden(true);

  rightSide_ = new QStackedWidget(splitter_);
  folderPage_ = new QWidget(rightSide_);
  auto* folderLayout = new QVBoxLayout(folderPage_);
  folderLayout->setContentsMargins(0, 0, 0, 0);
  auto* rootFrame = NamedWidget<QFrame>("RootFrame", folderPage_);
  rootFrame->setFrameShape(QFrame::StyledPanel);
  auto* rootLayout = new QHBoxLayout(rootFrame);
  auto* rootImage = NamedWidget<QToolButton>("RootImage", rootFrame);
  rootImage->setAutoRaise(true);
  rootLayout->addWidget(rootImage);
  rootText_ = NamedWidget<QLineEdit>("RootText", rootFrame);
  rootLayout->addWidget(rootText_, 1);
  auto* tableToggle = NamedWidget<QToolButton>("RootTable", rootFrame);
  tableToggle->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
  rootLayout->addWidget(tableToggle);
  const std::pair<const char*, Qt::ArrowType> arrows[] = {
      {"RootUp", Qt::UpArrow}, {"RootDown", Qt::DownArrow}, {"RootToRootButt", Qt::LeftArrow}};
  for (const auto& [name, arrow] : arrows) {
    auto* button = NamedWidget<QToolButton>(name, rootFrame);
    button->setArrowType(arrow);
    rootLayout->addWidget(button);
  }
  folderViews_ = new QStackedWidget(folderPage_);
  contentsList_ = NamedWidget<QListView>("ListView1", folderViews_);
  // Large folders: rows are measured once, not item by item.
  contentsList_->setUniformItemSizes(true);
  BuildRecordTable();
  folderViews_->addWidget(contentsList_);
  folderViews_->addWidget(tablePage_);
  folderLayout->addWidget(rootFrame);
  folderLayout->addWidget(folderViews_, 1);

  canvasPage_ = new QWidget(rightSide_);
  rightSide_->addWidget(folderPage_);
  rightSide_->addWidget(canvasPage_);

  splitter_->addWidget(mainList_);
  splitter_->addWidget(rightSide_);
  splitter_->setStretchFactor(1, 1);
  splitter_->handle(1)->setObjectName("FormListPic");
  // Moved only on release, like the tree width that is stored with the database.
  splitter_->setOpaqueResize(false);
  connect(splitter_, &QSplitter::splitterMoved, this, [this](int position) {
    if (onSplitterMoved) onSplitterMoved(position);
  });
  setCentralWidget(splitter_);
}

void MainWindow::BuildRecordTable() {
  tablePage_ = new QWidget(folderViews_);
  auto* layout = new QVBoxLayout(tablePage_);
  layout->setContentsMargins(0, 0, 0, 0);
  tableForms_ = NamedWidget<QComboBox>("TableForms", tablePage_);
  tableForms_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  recordTable_ = NamedWidget<QTableView>("RecordTable", tablePage_);
  recordTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  recordTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  recordTable_->setWordWrap(false);
  // Large folders: rows of one height, none measured.
  recordTable_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  recordTable_->verticalHeader()->setDefaultSectionSize(recordTable_->fontMetrics().height() + 6);
  recordTable_->verticalHeader()->hide();
  recordTable_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(tableForms_, 0, Qt::AlignLeft);
  layout->addWidget(recordTable_, 1);
}

void MainWindow::BuildStatusBar() {
  QStatusBar* status = statusBar();
  status->setObjectName("MainStatus");
  for (const char* key : kStatusPanels) {
    auto* panel = NamedWidget<QLabel>(key, status);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->installEventFilter(this);
    status->addWidget(panel, QString(key) == u"main" ? 1 : 0);
  }
  StatusPanel("grid").hide();
  StatusPanel("mci").hide();
  pleaseWaitText_ = NamedWidget<QLabel>("PleaseWaitText", status);
  pleaseWaitBar_ = NamedWidget<QProgressBar>("PleaseWaitBar", status);
  pleaseWaitBar_->setRange(0, 100);
  pleaseWaitBar_->setMaximumWidth(200);
  tableSelection_ = NamedWidget<QLabel>("TableSelection", status);
  tableSelection_->hide();
  status->addPermanentWidget(tableSelection_);
  status->addPermanentWidget(pleaseWaitText_);
  status->addPermanentWidget(pleaseWaitBar_);
  pleaseWaitText_->hide();
  pleaseWaitBar_->hide();
}

QToolButton& MainWindow::RootButton(const char* name) const {
  return *findChild<QToolButton*>(QString::fromLatin1(name));
}

QIcon MainWindow::IconFor(const QString& key) {
  auto cached = iconCache_.constFind(key);
  if (cached != iconCache_.constEnd()) return *cached;
  const QImage image = icons_.Image(key);
  QIcon icon = image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
  if (!image.isNull()) iconCache_.insert(key, icon);
  return icon;
}

QLabel& MainWindow::StatusPanel(const QString& key) const {
  return *statusBar()->findChild<QLabel*>(key, Qt::FindDirectChildrenOnly);
}

void MainWindow::ShowProgress(int value, const QString& text, const QString& pleaseWait) {
  if (value >= 100) {
    pleaseWaitBar_->hide();
    pleaseWaitText_->hide();
    // An operation may end without having begun (nothing to load).
    if (busy_) SetBusy(false);
    return;
  }
  pleaseWaitBar_->setValue(std::max(value, 0));
  pleaseWaitBar_->show();
  if (!busy_) SetBusy(true);
  pleaseWaitText_->setText(text.isEmpty() ? pleaseWait : text);
  pleaseWaitText_->show();
  // Let the window repaint while the operation goes on.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::SetBusy(bool busy) {
  busy_ = busy;
  mainList_->setEnabled(!busy);
  commands_.Bar(kMainBar)->setEnabled(!busy);
  commands_.Bar(kEditBar)->setEnabled(!busy);
  // The menus get back the states they had: File stays off in edit mode.
  // A hidden menu reads as disabled, but is not.
  for (const char* name : kBusyMenus) {
    QAction* menu = commands_.Submenu(name)->menuAction();
    if (busy) menusBeforeBusy_[name] = menu->isEnabled() || !menu->isVisible();
    menu->setEnabled(!busy && menusBeforeBusy_.value(name, true));
  }
}

double MainWindow::TwipsPerPixelX() const { return 1440.0 / logicalDpiX(); }
double MainWindow::TwipsPerPixelY() const { return 1440.0 / logicalDpiY(); }

void MainWindow::LayoutMainWindow(int splitterPos, int listExtraWidth, bool showStatusBar) {
  statusBar()->setVisible(showStatusBar);
  int treeWidth = static_cast<int>(splitterPos / TwipsPerPixelX());
  int rest = std::max(splitter_->width() - treeWidth - splitter_->handleWidth(), 1);
  splitter_->setSizes({treeWidth, rest});
  const int extraWidth = static_cast<int>(listExtraWidth / TwipsPerPixelX());
  for (QWidget* page : {folderPage_, canvasPage_}) page->setContentsMargins(extraWidth, 0, 0, 0);
}

void MainWindow::ShowFolderView(bool folder) {
  rightSide_->setCurrentWidget(folder ? folderPage_ : canvasPage_);
}

void MainWindow::ShowRecordTable(bool table) {
  folderViews_->setCurrentWidget(table ? tablePage_ : static_cast<QWidget*>(contentsList_));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (onCloseRequested && !onCloseRequested()) {
    event->ignore();
    return;
  }
  event->accept();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (isVisible() && onResized) onResized();
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  if (isVisible() && onResized) onResized();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    auto* label = qobject_cast<QLabel*>(watched);
    if (label && label->parent() == statusBar() && onStatusPanelClicked) {
      onStatusPanelClicked(label->objectName());
      return true;
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (watched == commands_.Bar(kMainBar) && mouse->button() == Qt::RightButton) {
      commands_.Submenu("mnToolBar")->popup(mouse->globalPosition().toPoint());
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace orbo
