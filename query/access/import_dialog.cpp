#include "query/access/import_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "query/access/access_texts.h"
#include "query/access/reading_choice.h"
#include "shell/common_texts.h"
#include "shell/named_widget.h"
#include "shell/window_context.h"
#include "storage/navigation_logic.h"

namespace orbo {
namespace {

constexpr int kPreviewRows = 5;

}  // namespace

ImportDialog::ImportDialog(const WindowContext& context, AccessEngine& engine, QWidget* parent)
    : QDialog(parent), context_(context), engine_(engine) {
  setObjectName("ImForm");
  const LanguageTexts& t = context_.texts;
  auto* frame1 = NamedWidget<QGroupBox>("Frame1", t.Get(access_texts::kSourceFrame), this);
  auto* label1 = NamedWidget<QLabel>("Label1", t.Get(access_texts::kFileLabel), frame1);
  tableLabel_ = NamedWidget<QLabel>("Label2", t.Get(access_texts::kTableLabel), frame1);
  sourceFileEdit_ = NamedWidget<QLineEdit>("DBText", frame1);
  sourceFileButton_ = NamedWidget<QPushButton>("DBButt", QStringLiteral("..."), frame1);
  tablesCombo_ = NamedWidget<QComboBox>("TablesCombo", frame1);
  firstRowCheck_ =
      NamedWidget<QCheckBox>("FirstRowCheck", t.Get(access_texts::kFirstRowNames), frame1);
  tableInfoLabel_ = NamedWidget<QLabel>("InfLab", frame1);
  readingChoice_ = NamedWidget<ReadingChoice>("ReadingChoice", t, frame1);
  previewLabel_ = NamedWidget<QLabel>("PreviewLabel", t.Get(access_texts::kPreviewLabel), frame1);
  previewTable_ = NamedWidget<QTableWidget>("PreviewTable", frame1);
  columnFrame_ =
      NamedWidget<QGroupBox>("Frame2", t.Get(access_texts::kColumnsAndFieldsFrame), this);
  fieldsCombo_ = NamedWidget<QComboBox>("FieldsCombo", columnFrame_);
  elementsCombo_ = NamedWidget<QComboBox>("ElsCombo", columnFrame_);
  formsCombo_ = NamedWidget<QComboBox>("FormsCombo", columnFrame_);
  whereCombo_ = NamedWidget<QComboBox>("WhereCombo", columnFrame_);
  foldersFromFileCheck_ = NamedWidget<QCheckBox>(
      "FoldersFromFileCheck", t.Get(access_texts::kFoldersFromFile), columnFrame_);
  importButton_ =
      NamedWidget<QPushButton>("ImportButt", t.Get(access_texts::kImportButton), columnFrame_);
  mapByNameButton_ =
      NamedWidget<QPushButton>("MapByNameButt", t.Get(access_texts::kMapByName), columnFrame_);
  mapInOrderButton_ =
      NamedWidget<QPushButton>("MapInOrderButt", t.Get(access_texts::kMapInOrder), columnFrame_);
  waitFrame_ = NamedWidget<QFrame>("WaitFrame", this);
  auto* waitLab = NamedWidget<QLabel>("WaitLab", t.Get(common_texts::kPleaseWait), waitFrame_);
  cancelButton_ = NamedWidget<QPushButton>("CancelButt", t.Get(common_texts::kCancel), this);
  helpButton_ = NamedWidget<QPushButton>("HelpButt", t.Get(common_texts::kHelp), this);
  setWindowTitle(t.Get(access_texts::kImportTitle));
  sourceFileEdit_->setReadOnly(true);
  sourceFileEdit_->setMinimumWidth(320);
  whereCombo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  whereCombo_->setMinimumContentsLength(28);
  waitFrame_->setFrameShape(QFrame::StyledPanel);
  tableInfoLabel_->setWordWrap(true);
  previewTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  previewTable_->setMaximumHeight(previewTable_->fontMetrics().height() * 2 * (kPreviewRows + 2));
  (new QHBoxLayout(waitFrame_))->addWidget(waitLab);

  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(sourceFileEdit_, 1);
  fileRow->addWidget(sourceFileButton_);
  auto* source = new QFormLayout(frame1);
  source->addRow(label1, fileRow);
  source->addRow(tableLabel_, tablesCombo_);
  source->addRow(readingChoice_);
  source->addRow(firstRowCheck_);
  source->addRow(tableInfoLabel_);
  source->addRow(previewLabel_);
  source->addRow(previewTable_);
  auto* mapping = new QFormLayout(columnFrame_);
  mapping->addRow(
      NamedWidget<QLabel>("Label3", t.Get(access_texts::kTableColumnLabel), columnFrame_),
      fieldsCombo_);
  auto* mapButtons = new QHBoxLayout;
  mapButtons->addWidget(mapByNameButton_);
  mapButtons->addWidget(mapInOrderButton_);
  mapButtons->addStretch(1);
  mapping->addRow(mapButtons);
  mapping->addRow(
      NamedWidget<QLabel>("Label4", t.Get(access_texts::kImportIntoFieldLabel), columnFrame_),
      elementsCombo_);
  mapping->addRow(
      NamedWidget<QLabel>("Label5", t.Get(access_texts::kNewRecordsFormLabel), columnFrame_),
      formsCombo_);
  mapping->addRow(
      NamedWidget<QLabel>("Label7", t.Get(access_texts::kNewRecordsFolderLabel), columnFrame_),
      whereCombo_);
  mapping->addRow(foldersFromFileCheck_);
  mapping->addRow(importButton_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(helpButton_);
  buttons->addStretch(1);
  buttons->addWidget(cancelButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame1);
  layout->addWidget(columnFrame_);
  layout->addWidget(waitFrame_);
  layout->addLayout(buttons);

  connect(sourceFileButton_, &QPushButton::clicked, this, &ImportDialog::fileRequested);
  connect(tablesCombo_, &QComboBox::activated, this, [this](int index) { ChooseTable(index); });
  // A CSV file's first row: the columns' names, or a row like the others.
  connect(firstRowCheck_, &QCheckBox::toggled, this, [this](bool names) {
    if (!source_) return;
    source_->SetFirstRowNames(names);
    if (table_ >= 0) ChooseTable(table_);
  });
  // A text file read again as the user chose.
  connect(readingChoice_, &ReadingChoice::changed, this, [this] {
    if (!source_) return;
    source_->ReadAs(readingChoice_->Chosen());
    ShowReading();
  });
  connect(formsCombo_, &QComboBox::currentIndexChanged, this, [this] { FillTargets(); });
  connect(fieldsCombo_, &QComboBox::currentIndexChanged, this, [this] { ShowColumnTarget(); });
  connect(elementsCombo_, &QComboBox::activated, this, [this](int target) {
    map_.Assign(fieldsCombo_->currentIndex(), target);
    ShowMappedColumns();
  });
  const auto mapWith = [this](ColumnMap (*make)(const QStringList&, const FormDef&)) {
    const Database& db = context_.db;
    if (Form() >= 0 && Form() < db.FormCount)
      TakeMap(make(columns_, db.Forms[static_cast<size_t>(Form())]));
  };
  connect(mapByNameButton_, &QPushButton::clicked, this, [mapWith] { mapWith(MapByName); });
  connect(mapInOrderButton_, &QPushButton::clicked, this, [mapWith] { mapWith(MapInOrder); });
  connect(importButton_, &QPushButton::clicked, this, &ImportDialog::importRequested);
  connect(helpButton_, &QPushButton::clicked, this, &ImportDialog::helpRequested);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  ShowSource(false);
}

ImportDialog::~ImportDialog() = default;

void ImportDialog::Prepare() {
  const Database& db = context_.db;
  QStringList folders;
  for (int folder = 0; folder < db.FolderCount; ++folder) folders << FolderPath(db, folder);
  whereCombo_->clear();
  whereCombo_->addItems(folders);
  whereCombo_->setCurrentIndex(context_.state.CurFolder);
  QStringList forms;
  for (int form = 0; form < db.FormCount; ++form) forms << db.Forms[static_cast<size_t>(form)].Name;
  const QSignalBlocker blocker(formsCombo_);
  formsCombo_->clear();
  formsCombo_->addItems(forms);
  formsCombo_->setCurrentIndex(0);
  FillTargets();
  columnFrame_->setVisible(false);
  SetWaiting(false);
}

void ImportDialog::OpenFile(const QString& path) {
  std::unique_ptr<AccessSource> source = engine_.OpenDatabase(path);
  if (!source) {
    // A CSV file says itself why it cannot be read, under its own title.
    const QString problem = engine_.OpenProblem();
    context_.services.ShowMessage(
        problem.isEmpty() ? context_.texts.Get(access_texts::kAccessFileNotOpened) : problem,
        kOkOnly);
    return;
  }
  source_ = std::move(source);
  {
    const QSignalBlocker quiet(firstRowCheck_);
    firstRowCheck_->setChecked(true);
  }
  source_->SetFirstRowNames(true);
  table_ = -1;
  tablesCombo_->clear();
  tablesCombo_->addItems(source_->TableNames());
  sourceFileEdit_->setText(path);
  ShowSource(true);
  tableInfoLabel_->clear();
  columnFrame_->setVisible(false);
  ShowReading();
}

void ImportDialog::ChooseTable(int index) {
  columnFrame_->setVisible(false);
  tablesCombo_->setCurrentIndex(index);
  QStringList columns;
  qint64 rows = 0;
  if (!source_ || !source_->OpenTable(index, &columns, &rows)) {
    table_ = -1;
    tableInfoLabel_->clear();
    ShowPreview({});
    context_.services.ShowMessage(context_.texts.Get(access_texts::kAccessFileNotOpened), kOkOnly);
    return;
  }
  table_ = index;
  const LanguageTexts& t = context_.texts;
  tableInfoLabel_->setText(t.Get(access_texts::kColumnsCount) + u' ' +
                           QString::number(columns.size()) + QStringLiteral(";  ") +
                           t.Get(access_texts::kRowsCount) + u' ' + QString::number(rows));
  ShowPreview(columns);
  if (columns.isEmpty() || rows == 0) return;
  formsCombo_->setCurrentIndex(0);
  FillTargets();
  columnFrame_->setVisible(true);
  const QSignalBlocker blocker(fieldsCombo_);
  fieldsCombo_->clear();
  columns_ = columns;
  fieldsCombo_->addItems(columns);
  fieldsCombo_->setCurrentIndex(0);
  // Only a file with a folder column can name folders.
  foldersFromFileCheck_->setEnabled(FolderColumn(columns_) >= 0);
  if (!foldersFromFileCheck_->isEnabled()) foldersFromFileCheck_->setChecked(false);
  ShowMappedColumns();
  ShowColumnTarget();
}

int ImportDialog::Folder() const { return whereCombo_->currentIndex(); }

int ImportDialog::Form() const { return formsCombo_->currentIndex(); }

ImportPlan ImportDialog::Plan() const {
  ImportPlan plan;
  plan.form = Form();
  plan.folder = Folder();
  plan.map = map_;
  if (foldersFromFileCheck_->isEnabled() && foldersFromFileCheck_->isChecked())
    plan.folderColumn = FolderColumn(columns_);
  return plan;
}

void ImportDialog::SetWaiting(bool waiting) {
  waitFrame_->setVisible(waiting);
  if (waiting) {
    waitFrame_->repaint();
  } else {
    adjustSize();  // give back the frame's room
  }
}

void ImportDialog::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (!waitFrame_->isVisible()) reject();
}

void ImportDialog::FillTargets() {
  const int form = formsCombo_->currentIndex();
  QStringList targets{QStringLiteral("-")};
  if (form >= 0 && form < context_.db.FormCount)
    targets << ImportTargetNames(context_.db.Forms[static_cast<size_t>(form)]);
  elementsCombo_->clear();
  elementsCombo_->addItems(targets);
  ShowMappedColumns();
  ShowColumnTarget();
}

void ImportDialog::TakeMap(const ColumnMap& map) {
  map_ = map;
  ShowMappedColumns();
  ShowColumnTarget();
}

void ImportDialog::ShowMappedColumns() {
  for (int column = 0; column < fieldsCombo_->count() && column < columns_.size(); ++column) {
    const int target = map_.TargetOf(column);
    fieldsCombo_->setItemText(column, target > 0 && target < elementsCombo_->count()
                                          ? columns_[column] + QStringLiteral("  \u2192  ") +
                                                elementsCombo_->itemText(target)
                                          : columns_[column]);
  }
}

void ImportDialog::ShowColumnTarget() {
  const int target = map_.TargetOf(fieldsCombo_->currentIndex());
  elementsCombo_->setCurrentIndex(target < elementsCombo_->count() ? target : 0);
  // Columns past the map's end are never imported.
  elementsCombo_->setEnabled(fieldsCombo_->currentIndex() < kReadColumns);
}

void ImportDialog::ShowSource(bool shown) {
  for (QWidget* w : std::initializer_list<QWidget*>{tableLabel_, tablesCombo_, tableInfoLabel_,
                                                    previewLabel_, previewTable_})
    w->setVisible(shown);
  firstRowCheck_->setVisible(shown && source_ && source_->OffersFirstRowChoice());
  readingChoice_->setVisible(shown && source_ && source_->Reading());
}

void ImportDialog::ShowReading() {
  // What was read shows what was taken: a typed delimiter no file can use
  // gives way to the one found.
  if (const std::optional<TextReading> reading = source_->Reading())
    readingChoice_->Show(*reading, source_->Encodings());
  const QString problem = source_->Problem();
  if (problem.isEmpty()) {
    if (tablesCombo_->count() > 0) ChooseTable(0);
    return;
  }
  // Said in the dialog, beside the choices that may mend it.
  table_ = -1;
  columnFrame_->setVisible(false);
  ShowPreview({});
  tableInfoLabel_->setText(QString(problem).replace(u'\r', u'\n'));
}

void ImportDialog::ShowPreview(const QStringList& columns) {
  previewTable_->clear();
  previewTable_->setColumnCount(static_cast<int>(columns.size()));
  previewTable_->setHorizontalHeaderLabels(columns);
  QStringList row;
  int shown = 0;
  for (; shown < kPreviewRows && source_ && !columns.isEmpty() && source_->NextRow(&row); ++shown) {
    previewTable_->setRowCount(shown + 1);
    for (int c = 0; c < row.size() && c < columns.size(); ++c)
      previewTable_->setItem(shown, c, new QTableWidgetItem(row[c]));
  }
  previewTable_->setRowCount(shown);
  previewTable_->resizeColumnsToContents();
}

}  // namespace orbo
