// The menu of the element that titles a form's records (mnuMainField): one
// entry per element that can title them, the current one checked.
#pragma once

#include <QObject>

class QMenu;

namespace orbo {

class App;

class TitleFieldMenu : public QObject {
 public:
  // Fills menu with the entries of CurForm each time it opens.
  TitleFieldMenu(App& app, QMenu& menu);

  // Makes element code the title of CurForm's records and renames their nodes.
  void Choose(int code);

 private:
  void Fill();

  App& app_;
  QMenu& menu_;
};

}  // namespace orbo
