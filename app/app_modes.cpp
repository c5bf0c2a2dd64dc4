// App: what the window does besides when the mode switches; the switch
// itself is the designer's.
#include <QAction>
#include <QMenu>

#include "app/app.h"
#include "app/main_window.h"
#include "forms/designer/form_designer.h"
#include "forms/designer/mode_switch.h"
#include "forms/designer/title_field_menu.h"
#include "query/find/finder.h"
#include "shell/folder_tree_view.h"
#include "storage/font_value.h"

namespace orbo {

void App::FollowMode(WorkMode mode) {
  if (mode == WorkMode::Database) {
    parts_.finder->ResetLists();
    FolderTreeView& tree = parts_.window->MainList();
    if (parts_.window->isVisible()) tree.setFocus();
    tree.setFont(FontOf(db.DatabaseFont));
    Layout();
  }
  UpdateCommandStates();
}

void App::UpdateCommandStates() {
  MainCommands& c = parts_.window->Commands();
  for (const char* list : {"mnuAddRec", "mnuSelForm"}) {
    QMenu* menu = c.Submenu(list);
    menu->menuAction()->setEnabled(!menu->isEmpty());
  }
  parts_.recordTitleMenu->UpdateEnabled();
  parts_.formTitleMenu->UpdateEnabled();
}

}  // namespace orbo
