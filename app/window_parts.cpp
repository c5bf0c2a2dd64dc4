#include "app/window_parts.h"

#include "app/app_services.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
#include "forms/designer/form_designer.h"
#include "forms/designer/mode_switch.h"
#include "forms/designer/title_field_menu.h"
#include "forms/editor/record_editor.h"
#include "forms/properties/properties_dialog.h"
#include "query/access/access_exchange.h"
#include "query/csv/csv_exchange.h"
#include "query/find/finder.h"
#include "query/print/print_dialog.h"
#include "query/settings/backups_dialog.h"
#include "query/settings/database_properties_dialog.h"
#include "query/settings/options_dialog.h"
#include "query/sort/sorter.h"
#include "query/table/folder_table.h"
#include "shell/folder_tree_model.h"
#include "shell/intro_dialog.h"
#include "shell/navigator.h"
#include "shell/quick_filter_box.h"

namespace orbo {

WindowParts::WindowParts() = default;
WindowParts::~WindowParts() = default;

PrintDialog& WindowParts::Printing() {
  if (!printing) printing = std::make_unique<PrintDialog>(*context);
  return *printing;
}

}  // namespace orbo
