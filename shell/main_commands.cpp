#include "shell/main_commands.h"

#include <QAction>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <string_view>

namespace orbo {
namespace {

// Language groups of the menu captions.
constexpr int kMenuTitles = 950;
constexpr int kFileItems = 951;
constexpr int kCsvItems = 981;
constexpr int kDatabaseItems = 952;
constexpr int kEditorItems = 953;
constexpr int kOptionItems = 954;
constexpr int kModeItems = 955;
constexpr int kHelpItems = 956;
constexpr int kEditBarTooltips = 70;
constexpr int kMoreTooltips = 958;
constexpr int kUndoTexts = 975;
constexpr int kSafetyTexts = 985;
constexpr int kMoreMenuItems = 998;
constexpr int kCloseItem = 1001;

struct ButtonDef {
  const char* key;  // nullptr for a separator
  int group;        // -1: no tooltip
  int entry;
  // The menu item the button is one command with, if any: they share one
  // action, so its state is set once. Save is not among them: its button
  // follows the modified state while the menu item stays available.
  const char* menu = nullptr;
};

// Button order is the order of ToolButtonVisible's entries; keep it stable.
constexpr ButtonDef kMainBarButtons[] = {
    {"new", 60, 2, "mnuNew"},
    {"open", 60, 3, "mnuLoad"},
    {"save", 60, 4},
    {nullptr, 0, 0},
    {"addrecord", 60, 0},
    {"clonerecord", 60, 7},
    {"del", 60, 1},
    {"addroot", 60, 5, "mnuAddFolder"},
    {nullptr, 0, 0},
    {"dbfirst", 480, 0, "mnuFirstRec"},
    {"dbprev", 480, 1, "mnuPrevRec"},
    {"dbnext", 480, 2, "mnuNextRec"},
    {"dblast", 480, 3, "mnuLastRec"},
    {"tofolder", kMoreTooltips, 0, "mnuToFolder"},
    {nullptr, 0, 0},
    {"find", 450, 0, "mnuFind"},
    {"sort", 490, 0, "mnuSort"},
    {"print", 470, 0, "mnuPrint"},
    {nullptr, 0, 0},
    {"dbpass", 30, 1, "mnuDBProps"},
    {"orboprops", 77, 0, "mnuPref"},
    {"resetscale", kMoreTooltips, 1},
    {nullptr, 0, 0},
    {"editmode", 10, 2},
    {"help", 55, 1, "mnuHelp2"},
    {"mciSeparator", -1, 0},
    {"mciPlay", 80, 0},
    {"mciPause", 80, 1},
    {"mciStop", 80, 2},
};

constexpr ButtonDef kEditBarButtons[] = {
    {"workmode", 10, 1},
    {nullptr, 0, 0},
    {"arrow", kEditBarTooltips, 0},
    {"addi", kEditBarTooltips, 1},
    {"addl", kEditBarTooltips, 2},
    {"addt", kEditBarTooltips, 3},
    {"addb", kEditBarTooltips, 4},
    {"addc", kEditBarTooltips, 5},
    {"addf", kEditBarTooltips, 6},
    {"addm", kEditBarTooltips, 7},
    {nullptr, 0, 0},
    {"delete", 75, 0, "mnuDelEl"},
    {"elprops", 140, 1},
    {nullptr, 0, 0},
    {"addform", 75, 1, "mnuAddForm"},
    {"delform", 75, 2, "mnuDelForm"},
    {"cloneform", 75, 3, "mnuCloneForm"},
    {nullptr, 0, 0},
    {"grid", kMoreTooltips, 3, "mnuGrid"},
    {"help", kMoreTooltips, 2},
};

}  // namespace

MainCommands::MainCommands(QMainWindow& window, const QString& iconFolder) {
  BuildMenus(window);
  BuildToolbars(window, iconFolder);
}

QAction* MainCommands::AddItem(QMenu* menu, const QString& name, int group, int entry) {
  QAction* action = menu->addAction(QString());
  action->setObjectName(name);
  menus_.insert(name, action);
  textOf_.insert(action, {group, entry});
  return action;
}

void MainCommands::BuildMenus(QMainWindow& window) {
  QMenuBar* bar = window.menuBar();
  auto addMenu = [&](QWidget* parent, const QString& name, int entry) {
    QMenu* menu = new QMenu(parent);
    menu->setObjectName(name);
    submenus_.insert(name, menu);
    textOf_.insert(menu, {kMenuTitles, entry});
    return menu;
  };
  auto topMenu = [&](const QString& name, int entry) {
    QMenu* menu = addMenu(bar, name, entry);
    bar->addMenu(menu);
    return menu;
  };
  auto subMenu = [&](QMenu* parent, const QString& name, int entry) {
    QMenu* menu = addMenu(parent, name, entry);
    parent->addMenu(menu);
    return menu;
  };

  QMenu* file = topMenu("mnuFile", 0);
  AddItem(file, "mnuNew", kFileItems, 0)->setShortcut(QKeySequence::New);
  AddItem(file, "mnuLoad", kFileItems, 1)->setShortcut(QKeySequence::Open);
  AddItem(file, "mnuSave", kFileItems, 2)->setShortcut(QKeySequence::Save);
  AddItem(file, "mnuSaveAs", kFileItems, 3);
  AddItem(file, "mnuClose", kCloseItem, 0)->setShortcut(QKeySequence::Close);
  AddItem(file, "mnuRestore", kSafetyTexts, 5);
  file->addSeparator();
  AddItem(file, "mnuImOrbo", kFileItems, 4);
  AddItem(file, "mnuImAccess", kFileItems, 5);
  AddItem(file, "mnuExAccess", kFileItems, 6);
  AddItem(file, "mnuExCsv", kCsvItems, 0);
  AddItem(file, "mnuExMove", kFileItems, 7);
  recentLine_ = file->addSeparator();
  recentLine_->setObjectName("mnuLine1");
  for (int i = 0; i < 4; ++i) {
    QAction* item = file->addAction(QString());
    item->setObjectName(QStringLiteral("mnuRecent_%1").arg(i));
    menus_.insert(item->objectName(), item);
    recent_.append(item);
  }
  file->addSeparator();
  AddItem(file, "mnuQuit", kFileItems, 8)->setShortcut(QKeySequence::Quit);

  QMenu* edit = topMenu("mnuEdit", 12);
  AddItem(edit, "mnuUndo", kUndoTexts, 0)->setShortcut(QKeySequence::Undo);
  AddItem(edit, "mnuRedo", kUndoTexts, 1)
      ->setShortcuts(
          {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

  QMenu* database = topMenu("mnuDatabase", 1);
  AddItem(database, "mnuAddSameRec", kDatabaseItems, 0);
  subMenu(database, "mnuAddRec", 7);
  AddItem(database, "mnuCloneRec", kDatabaseItems, 1);
  AddItem(database, "mnuDelRec", kDatabaseItems, 2);
  subMenu(database, "mnuMainField", 9);
  database->addSeparator();
  // Stepping through the shown folder's records, marking and moving them,
  // without the toolbar or the mouse.
  AddItem(database, "mnuFirstRec", kMoreMenuItems, 0)
      ->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
  AddItem(database, "mnuPrevRec", kMoreMenuItems, 1)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
  AddItem(database, "mnuNextRec", kMoreMenuItems, 2)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
  AddItem(database, "mnuLastRec", kMoreMenuItems, 3)
      ->setShortcut(QKeySequence(Qt::ALT | Qt::Key_End));
  AddItem(database, "mnuToFolder", kMoreMenuItems, 4)
      ->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Up));
  AddItem(database, "mnuMarkRec", kMoreMenuItems, 5)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  AddItem(database, "mnuMoveTo", kMoreMenuItems, 6)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
  database->addSeparator();
  AddItem(database, "mnuAddFolder", kDatabaseItems, 3);
  AddItem(database, "mnuDelFolder", kDatabaseItems, 4);
  database->addSeparator();
  AddItem(database, "mnuFind", kDatabaseItems, 5)->setShortcut(QKeySequence::Find);
  AddItem(database, "mnuFindNext", kDatabaseItems, 6)->setShortcut(QKeySequence::FindNext);
  AddItem(database, "mnuSort", kDatabaseItems, 7);
  QMenu* quickSort = subMenu(database, "mnSort", 8);
  for (int i = 0; i < 4; ++i)
    AddItem(quickSort, QStringLiteral("mnSort2_%1").arg(i), kDatabaseItems, 8 + i);
  database->addSeparator();
  AddItem(database, "mnuPrint", kDatabaseItems, 12)->setShortcut(QKeySequence::Print);
  AddItem(database, "mnuDBProps", kDatabaseItems, 13);

  QMenu* editor = topMenu("mnuEditor", 2);
  QMenu* addElement = subMenu(editor, "mnuAddElMenu", 10);
  for (int type = 0; type < 7; ++type)
    AddItem(addElement, QStringLiteral("mnuAddEl_%1").arg(type), kEditBarTooltips, type + 1);
  AddItem(editor, "mnuDelEl", kEditorItems, 0);
  editor->addSeparator();
  AddItem(editor, "mnuAddForm", kEditorItems, 1);
  AddItem(editor, "mnuDelForm", kEditorItems, 2);
  AddItem(editor, "mnuCloneForm", kEditorItems, 3);
  subMenu(editor, "mnuSelForm", 11);
  subMenu(editor, "mnuTitleField", 9);
  editor->addSeparator();
  AddItem(editor, "mnuGrid", kEditorItems, 4)->setCheckable(true);

  QMenu* options = topMenu("mnuOpt", 3);
  AddItem(options, "mnuPref", kOptionItems, 0);
  AddItem(options, "mnuListWidth", kOptionItems, 1)->setCheckable(true);
  subMenu(options, "mnuLang", 6);

  QMenu* mode = topMenu("mnuMode", 4);
  QAction* databaseMode = AddItem(mode, "mnuMode2_0", kModeItems, 0);
  QAction* editMode = AddItem(mode, "mnuMode2_1", kModeItems, 1);
  databaseMode->setShortcut(Qt::Key_F5);
  editMode->setShortcut(Qt::Key_F6);
  databaseMode->setCheckable(true);
  editMode->setCheckable(true);

  QMenu* help = topMenu("mnuHelp", 5);
  AddItem(help, "mnuHelp2", kHelpItems, 0)->setShortcut(QKeySequence::HelpContents);
  AddItem(help, "mnuAbout", kHelpItems, 1);

  QMenu* toolbarMenu = new QMenu(&window);
  toolbarMenu->setObjectName("mnToolBar");
  submenus_.insert("mnToolBar", toolbarMenu);
  AddItem(toolbarMenu, "mnToolBar2", kOptionItems, 2);
}

void MainCommands::BuildToolbars(QMainWindow& window, const QString& iconFolder) {
  auto build = [&](int bar, const char* name, const auto& defs) {
    QToolBar* toolbar = window.addToolBar(QString());
    toolbar->setObjectName(name);
    toolbar->setMovable(false);
    toolbar->setIconSize(QSize(16, 16));
    bars_[bar] = toolbar;
    for (const ButtonDef& def : defs) {
      if (!def.key || def.group == -1) {
        QAction* separator = toolbar->addSeparator();
        if (def.key) separator->setObjectName(def.key);
        buttons_[bar].append({def.key ? QString(def.key) : QString(), separator, separator});
        continue;
      }
      const QString key = def.key;
      const QString iconPath = iconFolder + u'/' + key + QStringLiteral(".png");
      const QIcon icon = QFileInfo::exists(iconPath) ? QIcon(iconPath) : QIcon();
      if (!def.menu) {
        QAction* action = toolbar->addAction(icon, key);
        action->setObjectName(key);
        textOf_.insert(action, {def.group, def.entry});
        toolActions_.insert(action);
        buttons_[bar].append({key, action, action});
        continue;
      }
      QAction* command = Menu(def.menu);
      command->setIcon(icon);
      command->setIconVisibleInMenu(false);
      tooltipOf_.insert(command, {def.group, def.entry});
      // A button of its own on the bar, so that the settings can hide it
      // without hiding the menu item.
      auto* button = new QToolButton(toolbar);
      button->setObjectName(key);
      button->setDefaultAction(command);
      button->setAutoRaise(true);
      button->setFocusPolicy(Qt::NoFocus);
      button->setIconSize(toolbar->iconSize());
      QAction* place = toolbar->addWidget(button);
      place->setObjectName(key);
      buttons_[bar].append({key, command, place});
    }
  };
  build(kMainBar, "MainBar", kMainBarButtons);
  build(kEditBar, "EditBar", kEditBarButtons);
  // Undo and redo are one command each in both modes: the menu item is the
  // button of both toolbars. They stay out of the buttons the settings show
  // or hide, which would hide the menu item and its keys too.
  for (int bar : {kMainBar, kEditBar}) {
    bars_[bar]->addSeparator();
    for (const char* key : {"undo", "redo"}) {
      QAction* action = Menu(key == std::string_view("undo") ? "mnuUndo" : "mnuRedo");
      const QString iconPath = iconFolder + u'/' + key + QStringLiteral(".png");
      if (QFileInfo::exists(iconPath)) action->setIcon(QIcon(iconPath));
      action->setIconVisibleInMenu(false);
      bars_[bar]->addAction(action);
      menuButtons_[bar].insert(key, action);
    }
  }
  // The buttons without a menu item of their own keep a key: the media
  // keys where the keyboard has them, as they show only while a record's
  // media is open.
  const std::pair<const char*, QList<QKeySequence>> keys[] = {
      {"mciPlay", {Qt::Key_F7, Qt::Key_MediaPlay}},
      {"mciPause", {Qt::Key_F8, Qt::Key_MediaPause}},
      {"mciStop", {Qt::Key_F9, Qt::Key_MediaStop}},
      {"resetscale", {QKeySequence(Qt::CTRL | Qt::Key_0)}}};
  for (const auto& [key, sequences] : keys) Tool(kMainBar, key)->setShortcuts(sequences);
  Tool(kEditBar, "elprops")->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Return));
  addRecordMenu_ = new QMenu(&window);
  addRecordMenu_->setObjectName("addrecordMenu");
  QAction* addRecord = Tool(kMainBar, "addrecord");
  addRecord->setMenu(addRecordMenu_);
  if (auto* button = qobject_cast<QToolButton*>(bars_[kMainBar]->widgetForAction(addRecord))) {
    button->setPopupMode(QToolButton::MenuButtonPopup);
  }
}

QAction* MainCommands::Tool(int bar, const QString& key) const {
  for (const ToolbarButton& button : buttons_[bar]) {
    if (button.key == key) return button.action;
  }
  return menuButtons_[bar].value(key);
}

void MainCommands::OnTriggered(QAction* action, std::function<void()> handler) {
  if (funnel_) handler = funnel_->Gated(std::move(handler));
  QObject::connect(action, &QAction::triggered, action,
                   [handler = std::move(handler)] { handler(); });
  connected_.insert(action);
  action->setEnabled(true);
}

void MainCommands::ApplyTexts(const LanguageTexts& texts) {
  for (auto it = textOf_.cbegin(); it != textOf_.cend(); ++it) {
    QString text = texts.Get(it.value().first, it.value().second);
    if (auto* menu = qobject_cast<QMenu*>(it.key())) {
      menu->setTitle(text);
    } else if (auto* action = qobject_cast<QAction*>(it.key())) {
      if (toolActions_.contains(action)) {
        action->setToolTip(text);
        action->setText(text.isEmpty() ? action->objectName() : text);
      } else {
        action->setText(text);
      }
    }
  }
  for (auto it = tooltipOf_.cbegin(); it != tooltipOf_.cend(); ++it)
    it.key()->setToolTip(texts.Get(it.value().first, it.value().second));
}

void MainCommands::DisableUnconnected() {
  auto disableIfUnused = [this](QAction* action) {
    if (!action->isSeparator() && !connected_.contains(action)) action->setEnabled(false);
  };
  for (QAction* action : std::as_const(menus_)) disableIfUnused(action);
  for (const auto& bar : buttons_) {
    for (const ToolbarButton& button : bar) disableIfUnused(button.action);
  }
}

}  // namespace orbo
