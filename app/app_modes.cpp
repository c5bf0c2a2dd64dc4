// App: database mode and edit mode, and the lists that follow the forms.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

#include "app/app.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
#include "forms/designer/form_designer.h"
#include "forms/designer/title_field_menu.h"
#include "query/find/finder.h"
#include "shell/folder_tree_widget.h"
#include "shell/navigator.h"
#include "storage/font_value.h"

namespace orbo {
namespace {

// The lowest record that is not a free slot, or -1.
int FirstLiveRecord(const Database& db) {
  for (int r = 0; r < db.RecordCount; ++r) {
    if (db.Records[static_cast<std::size_t>(r)].Folder != BufferFolder) return r;
  }
  return -1;
}

void SetMenuMode(MainCommands& c, int editMode) {
  c.Menu("mnuMode2_0")->setChecked(editMode == 0);
  c.Menu("mnuMode2_1")->setChecked(editMode == 1);
  c.Submenu("mnuFile")->menuAction()->setEnabled(editMode == 0);
  c.Submenu("mnuDatabase")->menuAction()->setVisible(editMode == 0);
  c.Submenu("mnuEditor")->menuAction()->setVisible(editMode == 1);
  c.Bar(kMainBar)->setVisible(editMode == 0);
  c.Bar(kEditBar)->setVisible(editMode == 1);
}

}  // namespace

void App::SwitchMode(int editMode) {
  if (window_->Busy() || editMode == state.EditMode) {
    // A checkable item ticks itself when chosen; the mode did not change.
    window_->Commands().Menu("mnuMode2_0")->setChecked(state.EditMode == 0);
    window_->Commands().Menu("mnuMode2_1")->setChecked(state.EditMode == 1);
    return;
  }
  if (editMode == 1) {
    ToEditMode();
  } else {
    ToDatabaseMode();
  }
}

void App::ToEditMode() {
  state.EditMode = 1;
  MainCommands& c = window_->Commands();
  window_->StatusPanel("grid").show();
  SetMenuMode(c, 1);
  UpdateTitle();
  window_->ShowFolderView(false);
  ChooseTool(nullptr);
  canvas_->HScroll1().setValue(0);
  canvas_->VScroll1().setValue(0);
  canvas_->DrawForm(state.CurForm >= 0 && state.CurForm < db.FormCount ? state.CurForm : 0);
  designer_->Start();
  UpdateStatusBar();
  UpdateTitle();
  UpdateCommandStates();
}

void App::ToDatabaseMode() {
  state.EditMode = 0;
  MainCommands& c = window_->Commands();
  window_->StatusPanel("grid").hide();
  SetMenuMode(c, 0);
  BuildFormLists();
  navigator_->RebuildTree();
  finder_->ResetLists();
  state.CurRecord = -1;
  // A free slot is never shown: the first live record stands in for record 0.
  const int firstRecord = db.DatabasePath != u"noname" ? -1 : FirstLiveRecord(db);
  if (firstRecord >= 0) {
    navigator_->ShowRecord(firstRecord);
  } else {
    navigator_->ShowFolder(0);
  }
  FolderTreeWidget& tree = window_->MainList();
  if (window_->isVisible()) tree.setFocus();
  tree.setFont(FontOf(db.DatabaseFont));
  Layout();
  UpdateStatusBar();
  UpdateCommandStates();
  state.EventsSuppressed = false;
}

void App::BuildFormLists() {
  MainCommands& c = window_->Commands();
  QMenu* dropDown = c.AddRecordMenu();
  QMenu* menu = c.Submenu("mnuAddRec");
  dropDown->clear();
  menu->clear();
  for (int form = 0; form < db.FormCount; ++form) {
    auto addOfForm =
        funnel_.Gated([this, form] { navigator_->AddRecord(state.CurFolder, form, false); });
    QAction* entry = dropDown->addAction(db.Forms[form].Name, window_.get(), addOfForm);
    entry->setObjectName(QStringLiteral("form%1").arg(form));
    QAction* item = menu->addAction(db.Forms[form].Name, window_.get(), addOfForm);
    item->setObjectName(QStringLiteral("mnuAddRec2_%1").arg(form));
  }
  dropDown->addSeparator();
  QAction* newForm = dropDown->addAction(texts.Get(958, 6));
  newForm->setObjectName("newform");
  QObject::connect(newForm, &QAction::triggered, window_.get(), funnel_.Gated([this] {
    SwitchMode(1);
    if (state.EditMode == 1) designer_->AddForm();
  }));
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

void App::ConnectModeCommands() {
  MainCommands& c = window_->Commands();
  c.OnTriggered(c.Menu("mnuMode2_0"), [this] { SwitchMode(0); });
  c.OnTriggered(c.Menu("mnuMode2_1"), [this] { SwitchMode(1); });
  c.OnTriggered(c.Tool(kMainBar, "editmode"), [this] { SwitchMode(1); });
  c.OnTriggered(c.Tool(kEditBar, "workmode"), [this] { SwitchMode(0); });
}

}  // namespace orbo
