// The main window's commands as a user reaches them: every QAction that its
// menu bar, toolbars and pop-up menus hold, named so that the name survives
// the menus being rebuilt, and whether the user can choose it now.
#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QWidget>
#include <QWidgetAction>

// The menu an action opens, when it is a menu's own action.
inline QMenu* MenuOpenedBy(QAction* action) {
  auto* menu = qobject_cast<QMenu*>(action->parent());
  return menu && menu->menuAction() == action ? menu : nullptr;
}

// The window's menu bar, and its named menus and toolbars: a text field's
// own menu is no command of the window.
inline bool IsActionHolder(QObject* object) {
  if (qobject_cast<QMenuBar*>(object)) return true;
  return (qobject_cast<QMenu*>(object) || qobject_cast<QToolBar*>(object)) &&
         !object->objectName().isEmpty();
}

// Some menus fill their entries as they open: this fills them all.
inline void FillEveryMenu(QWidget& window) {
  for (QMenu* menu : window.findChildren<QMenu*>()) emit menu->aboutToShow();
}

// Every action a menu bar, toolbar or menu of window holds, menus' own
// actions included.
inline QList<QAction*> WindowActions(QWidget& window) {
  QList<QAction*> actions;
  for (QAction* action : window.findChildren<QAction*>()) {
    // A widget on a toolbar is no command.
    if (action->isSeparator() || qobject_cast<QWidgetAction*>(action)) continue;
    const QObjectList holders = action->associatedObjects();
    if (std::any_of(holders.begin(), holders.end(), IsActionHolder)) actions << action;
  }
  return actions;
}

// "holder/name": the toolbar or menu and the action's own name; a menu's
// own action is "menu:name".
inline QString ActionName(QAction* action) {
  if (QMenu* menu = MenuOpenedBy(action)) return "menu:" + menu->objectName();
  for (QObject* holder : action->associatedObjects()) {
    if (IsActionHolder(holder)) return holder->objectName() + u'/' + action->objectName();
  }
  return action->objectName();
}

inline bool Reachable(QAction* action);

// Whether the user can open menu: through the menu or toolbar that holds
// it, through the button that drops it down, or as a pop-up where the window
// offers it.
inline bool Reachable(QMenu* menu) {
  if (!menu->menuAction()->associatedObjects().isEmpty()) return Reachable(menu->menuAction());
  if (QWidget* parent = menu->parentWidget()) {
    for (QAction* opener : parent->window()->findChildren<QAction*>()) {
      if (opener->menu<QMenu*>() == menu) return Reachable(opener);
    }
  }
  return true;
}

// Whether a menu or toolbar that holds action is within the user's reach.
inline bool HeldWithinReach(QAction* action) {
  for (QObject* holder : action->associatedObjects()) {
    if (qobject_cast<QMenuBar*>(holder)) return true;
    if (auto* bar = qobject_cast<QToolBar*>(holder);
        bar && bar->isVisibleTo(bar->window()) && bar->isEnabled()) {
      return true;
    }
    if (auto* menu = qobject_cast<QMenu*>(holder); menu && Reachable(menu)) return true;
  }
  return false;
}

// Whether the user can choose action now: it is enabled and shown, and held
// within reach.
inline bool Reachable(QAction* action) {
  return action->isEnabled() && action->isVisible() && HeldWithinReach(action);
}
