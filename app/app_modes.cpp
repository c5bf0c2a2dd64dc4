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
#include "shell/folder_tree_widget.h"
#include "storage/font_value.h"

namespace orbo {

void App::SwitchMode(int editMode) { modeSwitch_->Switch(editMode); }

void App::ToEditMode() { modeSwitch_->ToEditMode(); }

void App::ToDatabaseMode() { modeSwitch_->ToDatabaseMode(); }

void App::FollowMode(int editMode) {
  if (editMode == 0) {
    finder_->ResetLists();
    FolderTreeWidget& tree = window_->MainList();
    if (window_->isVisible()) tree.setFocus();
    tree.setFont(FontOf(db.DatabaseFont));
    Layout();
  }
  UpdateCommandStates();
}

void App::UpdateCommandStates() {
  MainCommands& c = window_->Commands();
  for (const char* list : {"mnuAddRec", "mnuSelForm"}) {
    QMenu* menu = c.Submenu(list);
    menu->menuAction()->setEnabled(!menu->isEmpty());
  }
  recordTitleMenu_->UpdateEnabled();
  formTitleMenu_->UpdateEnabled();
}

void App::ChooseTool(QAction* tool) { designer_->ChooseTool(tool); }

}  // namespace orbo
