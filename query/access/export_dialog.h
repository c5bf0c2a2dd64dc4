// ExAccForm: which folders the export to Access takes.
#pragma once

#include <QDialog>

#include "query/access/tables/access_export.h"

class QCheckBox;
class QComboBox;

namespace orbo {

class App;

class ExportDialog : public QDialog {
  Q_OBJECT

 public:
  ExportDialog(App& app, QWidget* parent);

  // Before each showing: the folders as they are now. The last choice
  // stays while the folder list is unchanged; else the current folder.
  void Prepare();
  ExportScope Scope() const;

 private:
  App& app_;
  QComboBox* folderCombo_;
  QCheckBox* subDirCheck_;
};

}  // namespace orbo
