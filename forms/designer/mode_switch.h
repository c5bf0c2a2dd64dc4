// Database mode and edit mode: F5 / F6, the Mode menu and the toolbar
// buttons switch between them; each mode shows its own menus, toolbar and
// page. Database mode's lists of forms to add a record of follow the forms.
#pragma once

#include <QObject>

#include "storage/display_state.h"

namespace orbo {

class FormCanvas;
class FormDesigner;
class Navigator;
struct WindowContext;

class ModeSwitch : public QObject {
 public:
  ModeSwitch(WindowContext& context, FormCanvas& canvas, FormDesigner& designer,
             Navigator& navigator);

  // Switches to mode; ignored while a long operation runs.
  void Switch(WorkMode mode);
  // Each tells the window's events modeChanged once the mode is shown.
  void ToEditMode();
  void ToDatabaseMode();

 private:
  void ConnectCommands();
  void SetMenuMode(WorkMode mode);
  // The add-record drop-down and menu: an entry per form and "new form".
  void BuildFormLists();

  WindowContext& context_;
  FormCanvas& canvas_;
  FormDesigner& designer_;
  Navigator& navigator_;
};

}  // namespace orbo
