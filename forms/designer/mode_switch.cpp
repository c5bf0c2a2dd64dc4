#include "forms/designer/mode_switch.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QToolBar>

#include "forms/canvas/form_canvas.h"
#include "forms/designer/designer_texts.h"
#include "forms/designer/form_designer.h"
#include "shell/navigator.h"
#include "shell/window_context.h"

namespace orbo {
namespace {

// The lowest record that is not a free slot, or -1.
int FirstLiveRecord(const Database& db) {
  for (int r = 0; r < db.RecordCount; ++r) {
    if (db.Records[static_cast<std::size_t>(r)].Folder != BufferFolder) return r;
  }
  return -1;
}

}  // namespace

ModeSwitch::ModeSwitch(WindowContext& context, FormCanvas& canvas, FormDesigner& designer,
                       Navigator& navigator)
    : context_(context), canvas_(canvas), designer_(designer), navigator_(navigator) {
  ConnectCommands();
  connect(&context_.events, &WindowEvents::formsChanged, this, [this] { BuildFormLists(); });
}

void ModeSwitch::ConnectCommands() {
  MainCommands& c = context_.commands;
  c.OnTriggered(c.Menu("mnuMode2_0"), [this] { Switch(WorkMode::Database); });
  c.OnTriggered(c.Menu("mnuMode2_1"), [this] { Switch(WorkMode::Edit); });
  c.OnTriggered(c.Tool(kMainBar, "editmode"), [this] { Switch(WorkMode::Edit); });
  c.OnTriggered(c.Tool(kEditBar, "workmode"), [this] { Switch(WorkMode::Database); });
}

void ModeSwitch::Switch(WorkMode mode) {
  const DisplayState& state = context_.state;
  if (context_.services.Busy() || mode == state.EditMode) {
    // A checkable item ticks itself when chosen; the mode did not change.
    context_.commands.Menu("mnuMode2_0")->setChecked(state.EditMode == WorkMode::Database);
    context_.commands.Menu("mnuMode2_1")->setChecked(state.EditMode == WorkMode::Edit);
    return;
  }
  if (mode == WorkMode::Edit) {
    ToEditMode();
  } else {
    ToDatabaseMode();
  }
}

void ModeSwitch::SetMenuMode(WorkMode mode) {
  MainCommands& c = context_.commands;
  const bool editMode = mode == WorkMode::Edit;
  c.Menu("mnuMode2_0")->setChecked(!editMode);
  c.Menu("mnuMode2_1")->setChecked(editMode);
  c.Submenu("mnuFile")->menuAction()->setEnabled(!editMode);
  c.Submenu("mnuDatabase")->menuAction()->setVisible(!editMode);
  c.Submenu("mnuEditor")->menuAction()->setVisible(editMode);
  c.Bar(kMainBar)->setVisible(!editMode);
  c.Bar(kEditBar)->setVisible(editMode);
}

void ModeSwitch::ToEditMode() {
  DisplayState& state = context_.state;
  WindowServices& services = context_.services;
  state.EditMode = WorkMode::Edit;
  services.StatusPanel("grid").show();
  SetMenuMode(WorkMode::Edit);
  services.UpdateTitle();
  services.ShowFolderView(false);
  designer_.ChooseTool(nullptr);
  canvas_.HorizontalScroll().setValue(0);
  canvas_.VerticalScroll().setValue(0);
  canvas_.DrawForm(state.CurForm >= 0 && state.CurForm < context_.db.FormCount ? state.CurForm : 0);
  designer_.Start();
  services.UpdateStatusBar();
  services.UpdateTitle();
  emit context_.events.modeChanged(WorkMode::Edit);
}

void ModeSwitch::ToDatabaseMode() {
  DisplayState& state = context_.state;
  state.EditMode = WorkMode::Database;
  context_.services.StatusPanel("grid").hide();
  SetMenuMode(WorkMode::Database);
  BuildFormLists();
  navigator_.RefreshTree();
  state.CurRecord = -1;
  // A free slot is never shown: the first live record stands in for record 0.
  const Database& db = context_.db;
  const int firstRecord = db.DatabasePath != u"noname" ? -1 : FirstLiveRecord(db);
  if (firstRecord >= 0) {
    navigator_.ShowRecord(firstRecord);
  } else {
    navigator_.ShowFolder(0);
  }
  emit context_.events.modeChanged(WorkMode::Database);
  context_.services.UpdateStatusBar();
  state.EventsSuppressed = false;
}

void ModeSwitch::BuildFormLists() {
  MainCommands& c = context_.commands;
  const Database& db = context_.db;
  QMenu* dropDown = c.AddRecordMenu();
  QMenu* menu = c.Submenu("mnuAddRec");
  dropDown->clear();
  menu->clear();
  for (int form = 0; form < db.FormCount; ++form) {
    auto addOfForm = context_.funnel.Gated(
        [this, form] { navigator_.AddRecord(context_.state.CurFolder, form, false); });
    const QString& name = db.Forms[static_cast<std::size_t>(form)].Name;
    QAction* entry = dropDown->addAction(name, this, addOfForm);
    entry->setObjectName(QStringLiteral("form%1").arg(form));
    QAction* item = menu->addAction(name, this, addOfForm);
    item->setObjectName(QStringLiteral("mnuAddRec2_%1").arg(form));
  }
  dropDown->addSeparator();
  QAction* newForm = dropDown->addAction(context_.texts.Get(designer_texts::kNewFormMenuItem));
  newForm->setObjectName("newform");
  connect(newForm, &QAction::triggered, this, context_.funnel.Gated([this] {
    Switch(WorkMode::Edit);
    if (context_.state.EditMode == WorkMode::Edit) designer_.AddForm();
  }));
}

}  // namespace orbo
