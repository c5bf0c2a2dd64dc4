// ExAccForm: which folders the export to Access takes.
#pragma once

#include <QDialog>

#include "query/access/tables/access_export.h"

class QCheckBox;
class QComboBox;
class QFormLayout;

namespace orbo {

struct WindowContext;

class ExportDialog : public QDialog {
  Q_OBJECT

 public:
  ExportDialog(const WindowContext& context, QWidget* parent);

  // Before each showing: the folders as they are now. The last choice
  // stays while the folder list is unchanged; else the current folder.
  void Prepare();
  ExportScope Scope() const;

 protected:
  // The rows above the buttons, for an export that asks more.
  QFormLayout& Choices() const { return *choices_; }

 private:
  const WindowContext& context_;
  QFormLayout* choices_;
  QComboBox* folderCombo_;
  QCheckBox* subDirCheck_;
};

}  // namespace orbo
