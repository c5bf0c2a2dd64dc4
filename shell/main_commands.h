// The main window's commands: its menus and its two toolbars, with their
// captions and tooltips taken from the language texts. A command does
// something only once a handler is connected; the rest stay disabled.
#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <functional>

#include "shell/command_funnel.h"
#include "shell/language_texts.h"

class QAction;
class QObject;
class QMainWindow;
class QMenu;
class QToolBar;

namespace orbo {

inline constexpr int kMainBar = 0;
inline constexpr int kEditBar = 1;
// The edit toolbar's element tools, in element type order.
inline constexpr const char* kElementTools[] = {"addi", "addl", "addt", "addb",
                                                "addc", "addf", "addm"};

struct ToolbarButton {
  QString key;      // empty for a separator
  QAction* action;  // the command, shared with its menu item if it has one
  QAction* place;   // shows or hides the button on its bar
};

class MainCommands {
 public:
  // Toolbar pictures are iconFolder/<key>.png.
  MainCommands(QMainWindow& window, const QString& iconFolder);

  // Handlers connected from now on run through the funnel.
  void SetFunnel(CommandFunnel* funnel) { funnel_ = funnel; }
  // Connects a handler; only connected commands stay enabled.
  void OnTriggered(QAction* action, std::function<void()> handler);

  // Menu items by object name ("mnuNew", "mnuMode2_1", ...), toolbar buttons
  // by key; a button that is one command with a menu item gives that item.
  QAction* Menu(const QString& name) const { return menus_.value(name); }
  QMenu* Submenu(const QString& name) const { return submenus_.value(name); }
  QAction* Tool(int bar, const QString& key) const;
  // Button n (1-based, separators counted) of a toolbar.
  const QList<ToolbarButton>& Buttons(int bar) const { return buttons_[bar]; }
  QToolBar* Bar(int bar) const { return bars_[bar]; }
  // The drop-down of "addrecord": one entry per form, then "newform".
  QMenu* AddRecordMenu() const { return addRecordMenu_; }
  QList<QAction*> RecentItems() const { return recent_; }
  QAction* RecentSeparator() const { return recentLine_; }

  // Captions and tooltips again, after the language changed.
  void ApplyTexts(const LanguageTexts& texts);
  // Disables every command that has no handler yet; menus are left to
  // what they offer.
  void DisableUnconnected();

 private:
  void BuildMenus(QMainWindow& window);
  void BuildToolbars(QMainWindow& window, const QString& iconFolder);
  QAction* AddItem(QMenu* menu, const QString& name, int group, int entry);

  QHash<QString, QAction*> menus_;
  QHash<QString, QMenu*> submenus_;
  // The language text of each menu caption and tooltip.
  QHash<QObject*, std::pair<int, int>> textOf_;
  // The tooltip of each menu item that is also a toolbar button.
  QHash<QAction*, std::pair<int, int>> tooltipOf_;
  QList<ToolbarButton> buttons_[2];
  // Menu items that are also buttons of a toolbar (undo, redo), by key.
  QHash<QString, QAction*> menuButtons_[2];
  QToolBar* bars_[2] = {};
  QList<QAction*> recent_;
  QAction* recentLine_ = nullptr;
  QMenu* addRecordMenu_ = nullptr;
  QSet<QAction*> connected_;
  QSet<QAction*> toolActions_;
  CommandFunnel* funnel_ = nullptr;
};

}  // namespace orbo
