// ExCsvForm: the folders the CSV export takes, as the Access export asks,
// and how the files are written.
#pragma once

#include "query/access/export_dialog.h"
#include "query/csv/csv_export.h"

class QCheckBox;
class QComboBox;

namespace orbo {

class CsvExportDialog : public ExportDialog {
  Q_OBJECT

 public:
  CsvExportDialog(const WindowContext& context, QWidget* parent);

  CsvOptions Options() const;

 private:
  QComboBox* delimiterCombo_;
  QComboBox* flagsCombo_;
  QCheckBox* byteOrderCheck_;
  QCheckBox* formulasCheck_;
};

}  // namespace orbo
