#include "query/table/folder_table.h"

#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QSignalBlocker>
#include <QTableView>
#include <QToolButton>

#include "query/sort/sorter.h"
#include "query/table/table_texts.h"
#include "shell/navigator.h"
#include "shell/record_table_model.h"
#include "shell/window_context.h"

namespace orbo {

FolderTable::FolderTable(WindowContext& context, Navigator& navigator, Sorter& sorter,
                         FolderTableViews views)
    : context_(context),
      navigator_(navigator),
      sorter_(sorter),
      views_(std::move(views)),
      model_(std::make_unique<RecordTableModel>(context.db, navigator.Contents())) {
  const LanguageTexts& texts = context_.texts;
  QTableView& table = views_.table;
  table.setModel(model_.get());
  QHeaderView& header = *table.horizontalHeader();
  header.setSectionsClickable(true);
  header.setSortIndicatorShown(true);
  header.setSortIndicatorClearable(true);
  header.setSortIndicator(-1, Qt::AscendingOrder);
  QObject::connect(&header, &QHeaderView::sortIndicatorChanged, &table,
                   [this](int column, Qt::SortOrder order) { model_->sort(column, order); });
  QObject::connect(model_.get(), &QAbstractItemModel::modelReset, &table,
                   [this] { ShowSortIndicator(); });
  QObject::connect(&table, &QTableView::activated, &table, [this](const QModelIndex& index) {
    const int record = index.data(RecordTableModel::kRecordRole).toInt();
    context_.funnel.Run([this, record] { navigator_.ShowRecord(record); });
  });
  // A menu kept with the table, so its entry is a command of the window.
  menu_ = new QMenu(&table);
  menu_->setObjectName(QStringLiteral("mnuRecordTable"));
  sortAsShown_ = menu_->addAction(texts.Get(table_texts::kSortAsShown));
  sortAsShown_->setObjectName(QStringLiteral("mnuSortAsShown"));
  QObject::connect(sortAsShown_, &QAction::triggered, menu_,
                   [this] { context_.funnel.Run([this] { SortAsShown(); }); });
  table.setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(&table, &QTableView::customContextMenuRequested, &table,
                   [this](const QPoint& at) { ShowMenu(at); });

  views_.forms.setToolTip(texts.Get(table_texts::kFormChooserTip));
  QObject::connect(model_.get(), &RecordTableModel::formsChanged, &views_.forms,
                   [this] { FillForms(); });
  QObject::connect(&views_.forms, &QComboBox::activated, &views_.forms,
                   [this](int entry) { model_->SetForm(views_.forms.itemData(entry).toInt()); });

  QToolButton& toggle = views_.toggle;
  toggle.setCheckable(true);
  toggle.setToolTip(texts.Get(table_texts::kShowTable));
  toggle.setChecked(context_.settings.RecordTable);
  QObject::connect(&toggle, &QToolButton::toggled, &toggle, [this](bool on) { Show(on); });
  views_.showTable(context_.settings.RecordTable);
}

FolderTable::~FolderTable() = default;

void FolderTable::Show(bool table) {
  context_.settings.RecordTable = table;
  if (views_.toggle.isChecked() != table) views_.toggle.setChecked(table);
  views_.showTable(table);
}

void FolderTable::SortAsShown() {
  if (!sorter_.SortAsShown(model_->Rows())) return;
  // The order shown is the stored one now.
  views_.table.horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
}

void FolderTable::FillForms() {
  QComboBox& forms = views_.forms;
  const QSignalBlocker quiet(forms);
  forms.clear();
  const QString entry = context_.texts.Get(table_texts::kFormShare);
  for (const FormShare& share : model_->Forms()) {
    forms.addItem(
        entry.arg(context_.db.Forms[static_cast<std::size_t>(share.form)].Name).arg(share.count),
        share.form);
  }
  forms.setCurrentIndex(forms.findData(model_->Form()));
  // One form needs no choosing.
  forms.setVisible(model_->Forms().size() > 1);
}

void FolderTable::ShowSortIndicator() {
  QHeaderView& header = *views_.table.horizontalHeader();
  const QSignalBlocker quiet(header);
  header.setSortIndicator(model_->SortColumn(), header.sortIndicatorOrder());
}

void FolderTable::ShowMenu(const QPoint& at) {
  sortAsShown_->setEnabled(model_->SortColumn() >= 0 && model_->Rows().size() > 1);
  menu_->exec(views_.table.viewport()->mapToGlobal(at));
}

}  // namespace orbo
