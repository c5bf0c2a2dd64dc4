// A menu of the element that titles a form's records (mnuMainField in
// database mode, mnuTitleField in edit mode): one entry per element that can
// title them, the current one checked.
#pragma once

#include <QObject>
#include <functional>

#include "storage/database_model.h"

class QMenu;

namespace orbo {

struct WindowContext;

class TitleFieldMenu : public QObject {
 public:
  // form tells which form the menu is for, -1 while it is for none. The
  // entries are made each time the menu opens.
  TitleFieldMenu(WindowContext& context, QMenu& menu, std::function<int()> form);

  // The menu can be opened while its form has an element to choose.
  void UpdateEnabled();
  // Makes element code the title of the form's records, as one undo step,
  // and renames their nodes.
  void Choose(ElementRef element);

 private:
  void Fill();

  WindowContext& context_;
  QMenu& menu_;
  std::function<int()> form_;
};

}  // namespace orbo
