#include "query/table/folder_table.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
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
  BuildMenu();

  QObject::connect(model_.get(), &RecordTableModel::formsChanged, &views_.forms,
                   [this] { FillForms(); });
  QObject::connect(&views_.forms, &QComboBox::activated, &views_.forms,
                   [this](int entry) { model_->SetForm(views_.forms.itemData(entry).toInt()); });

  QToolButton& toggle = views_.toggle;
  toggle.setCheckable(true);
  QObject::connect(&toggle, &QToolButton::toggled, &toggle, [this](bool on) { Show(on); });
}

FolderTable::~FolderTable() = default;

void FolderTable::Show(bool table) {
  context_.settings.RecordTable = table;
  if (views_.toggle.isChecked() != table) views_.toggle.setChecked(table);
  views_.showTable(table);
  EnableCommands();
}

void FolderTable::ApplyTexts() {
  const LanguageTexts& texts = context_.texts;
  views_.toggle.setToolTip(texts.Get(table_texts::kShowTable));
  views_.forms.setToolTip(texts.Get(table_texts::kFormChooserTip));
  for (const auto& [action, text] : entries_) action->setText(texts.Get(text));
  FillForms();
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

void FolderTable::BuildMenu() {
  QTableView& table = views_.table;
  table.setSelectionMode(QAbstractItemView::ExtendedSelection);
  // A menu kept with the table, so its entries are commands of the window.
  menu_ = new QMenu(&table);
  menu_->setObjectName(QStringLiteral("mnuRecordTable"));
  const auto add = [this](TextId text, const char* name, std::function<void()> command) {
    QAction* action = menu_->addAction(QString());
    action->setObjectName(QString::fromLatin1(name));
    entries_.emplace_back(action, text);
    QObject::connect(action, &QAction::triggered, menu_, context_.funnel.Gated(std::move(command)));
    return action;
  };
  sortAsShown_ = add(table_texts::kSortAsShown, "mnuSortAsShown", [this] { SortAsShown(); });
  menu_->addSeparator();
  forSelected_ = {
      add(table_texts::kDeleteSelected, "mnuTableDelete",
          [this] { navigator_.DeleteRecords(Selected()); }),
      add(table_texts::kMarkSelected, "mnuTableMark",
          [this] { navigator_.ToggleMarks(Selected()); }),
      add(table_texts::kMoveSelected, "mnuTableMove",
          [this] { navigator_.MoveRecordsToChosenFolder(Selected()); }),
  };
  auto* deleteKey =
      new QShortcut(QKeySequence::Delete, &table, nullptr, nullptr, Qt::WidgetShortcut);
  QObject::connect(deleteKey, &QShortcut::activated, forSelected_[0], &QAction::trigger);
  QObject::connect(table.selectionModel(), &QItemSelectionModel::selectionChanged, menu_,
                   [this] { EnableCommands(); });
  QObject::connect(model_.get(), &QAbstractItemModel::layoutChanged, menu_,
                   [this] { EnableCommands(); });
  QObject::connect(model_.get(), &QAbstractItemModel::modelReset, menu_,
                   [this] { EnableCommands(); });
  EnableCommands();
  table.setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(&table, &QTableView::customContextMenuRequested, &table,
                   [this](const QPoint& at) { ShowMenu(at); });
}

std::vector<int> FolderTable::Selected() const {
  QModelIndexList rows = views_.table.selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  std::vector<int> records;
  records.reserve(static_cast<std::size_t>(rows.size()));
  for (const QModelIndex& row : rows)
    records.push_back(row.data(RecordTableModel::kRecordRole).toInt());
  return records;
}

void FolderTable::EnableCommands() {
  sortAsShown_->setEnabled(model_->SortColumn() >= 0 && model_->Rows().size() > 1);
  const bool selected = views_.table.selectionModel()->hasSelection();
  for (QAction* action : forSelected_) action->setEnabled(selected);
  const auto count = views_.table.selectionModel()->selectedRows().size();
  views_.selectedCount.setText(
      context_.texts.Get(table_texts::kSelectedCount).arg(count).arg(model_->rowCount()));
  views_.selectedCount.setVisible(count > 0 && views_.table.isVisibleTo(views_.table.window()));
}

void FolderTable::ShowMenu(const QPoint& at) {
  EnableCommands();
  menu_->exec(views_.table.viewport()->mapToGlobal(at));
}

}  // namespace orbo
