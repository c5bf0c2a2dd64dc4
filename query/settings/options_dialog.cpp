#include "query/settings/options_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "query/settings/settings_texts.h"
#include "shell/common_texts.h"
#include "shell/dialog_buttons.h"
#include "shell/font_text.h"
#include "shell/help_pages.h"
#include "shell/named_widget.h"
#include "shell/settings_store.h"
#include "shell/window_context.h"
#include "storage/font_value.h"

namespace orbo {
namespace {

constexpr const char* kTopNodes[] = {"root1", "root2"};

std::size_t At(int i) { return static_cast<std::size_t>(i); }

}  // namespace

OptionsDialog::OptionsDialog(WindowContext& context, const WorkingFiles& files,
                             QString settingsPath)
    : QDialog(&context.services.DialogParent()),
      context_(context),
      files_(files),
      settingsPath_(std::move(settingsPath)) {
  setObjectName("OptionsForm");
  mainTab_ = NamedWidget<QTabBar>("MainTab");
  mainTab_->addTab(QString());
  mainTab_->addTab(QString());
  mainTab_->setTabData(0, QStringLiteral("view"));
  mainTab_->setTabData(1, QStringLiteral("editor"));

  viewFrame_ = NamedWidget<QGroupBox>("ViewFrame");
  showStatus_ = NamedWidget<QCheckBox>("ShowStatus");
  clearRecent_ = NamedWidget<QPushButton>("ClearRecent");
  clearRecent_->setAutoDefault(false);
  auto* viewLayout = new QVBoxLayout(viewFrame_);
  viewLayout->addWidget(showStatus_);
  viewLayout->addWidget(clearRecent_, 0, Qt::AlignLeft);
  savingFrame_ = NamedWidget<QGroupBox>("SavingFrame");
  backupsLabel_ = NamedWidget<QLabel>("BackupsLab");
  backupsSpin_ = NamedWidget<QSpinBox>("BackupsSpin");
  backupsSpin_->setRange(0, kMaxBackups);
  backupsLabel_->setBuddy(backupsSpin_);
  recoveryLabel_ = NamedWidget<QLabel>("RecoveryLab");
  recoverySpin_ = NamedWidget<QSpinBox>("RecoverySpin");
  recoverySpin_->setRange(0, kMaxRecoveryMinutes);
  recoveryLabel_->setBuddy(recoverySpin_);
  auto* savingLayout = new QFormLayout(savingFrame_);
  savingLayout->addRow(backupsLabel_, backupsSpin_);
  savingLayout->addRow(recoveryLabel_, recoverySpin_);
  panelFrame_ = NamedWidget<QGroupBox>("PanelFrame");
  panelView_ = NamedWidget<QTreeWidget>("PanelView");
  panelView_->setHeaderHidden(true);
  panelView_->setIconSize(QSize(16, 16));
  auto* panelLayout = new QVBoxLayout(panelFrame_);
  panelLayout->addWidget(panelView_);

  gridFrame_ = NamedWidget<QGroupBox>("GridFrame");
  gridStepXLabel_ = NamedWidget<QLabel>("GridX");
  gridStepXEdit_ = NamedWidget<QLineEdit>("GridXT");
  gridStepYLabel_ = NamedWidget<QLabel>("GridY");
  gridStepYEdit_ = NamedWidget<QLineEdit>("GridYT");
  showGrid_ = NamedWidget<QCheckBox>("ShowGrid");
  for (QLineEdit* step : {gridStepXEdit_, gridStepYEdit_}) step->setMaximumWidth(80);
  auto* gridLayout = new QFormLayout(gridFrame_);
  gridLayout->addRow(gridStepXLabel_, gridStepXEdit_);
  gridLayout->addRow(gridStepYLabel_, gridStepYEdit_);
  gridLayout->addRow(showGrid_);
  fontFrame_ = NamedWidget<QGroupBox>("FontFrame");
  fontLabel_ = NamedWidget<QLabel>("FontLab");
  fontLabel_->setTextFormat(Qt::PlainText);
  fontButton_ = NamedWidget<QPushButton>("FontButt");
  fontButton_->setAutoDefault(false);
  startCheck_ = NamedWidget<QCheckBox>("StartCheck");
  auto* fontRow = new QHBoxLayout;
  fontRow->addWidget(fontLabel_, 1);
  fontRow->addWidget(fontButton_);
  auto* fontLayout = new QVBoxLayout(fontFrame_);
  fontLayout->addLayout(fontRow);
  fontLayout->addWidget(startCheck_);

  okButton_ = NamedWidget<QPushButton>("OkButt");
  cancelButton_ = NamedWidget<QPushButton>("CancelButt");
  helpButton_ = NamedWidget<QPushButton>("HelpButt");
  okButton_->setDefault(true);
  for (QPushButton* button : {cancelButton_, helpButton_}) button->setAutoDefault(false);
  QHBoxLayout* buttons = HelpOkCancelRow(helpButton_, okButton_, cancelButton_);

  // Each tab's frames on a page of their own.
  pages_ = new QStackedWidget;
  auto* viewPage = new QWidget;
  auto* viewPageLayout = new QVBoxLayout(viewPage);
  viewPageLayout->setContentsMargins(0, 0, 0, 0);
  viewPageLayout->addWidget(viewFrame_);
  viewPageLayout->addWidget(savingFrame_);
  viewPageLayout->addWidget(panelFrame_, 1);
  auto* editorPage = new QWidget;
  auto* editorPageLayout = new QVBoxLayout(editorPage);
  editorPageLayout->setContentsMargins(0, 0, 0, 0);
  editorPageLayout->addWidget(gridFrame_);
  editorPageLayout->addWidget(fontFrame_);
  editorPageLayout->addStretch(1);
  pages_->addWidget(viewPage);
  pages_->addWidget(editorPage);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(mainTab_);
  layout->addWidget(pages_, 1);
  layout->addLayout(buttons);
  resize(440, 520);

  connect(mainTab_, &QTabBar::currentChanged, this, &OptionsDialog::ShowPage);
  connect(clearRecent_, &QPushButton::clicked, this, &OptionsDialog::ClearRecentFiles);
  connect(fontButton_, &QPushButton::clicked, this, &OptionsDialog::ChooseFont);
  connect(panelView_, &QTreeWidget::itemChanged, this, &OptionsDialog::KeepTopNodesTicked);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(helpButton_, &QPushButton::clicked, this,
          [this] { context_.services.ShowHelp(help_topics::kOptions); });
  MainCommands& c = context_.commands;
  c.OnTriggered(c.Menu("mnuPref"), [this] { Run(); });
  c.OnTriggered(c.Menu("mnToolBar2"), [this] { Run(); });
}

void OptionsDialog::ApplyTexts() {
  const LanguageTexts& t = context_.texts;
  setWindowTitle(t.Get(settings_texts::kOptionsTitle));
  mainTab_->setTabText(0, t.Get(settings_texts::kViewTab));
  mainTab_->setTabText(1, t.Get(settings_texts::kEditorTab));
  viewFrame_->setTitle(t.Get(settings_texts::kWindowFrame));
  panelFrame_->setTitle(t.Get(settings_texts::kToolbarButtonsFrame));
  showStatus_->setText(t.Get(settings_texts::kShowStatusBar));
  clearRecent_->setText(t.Get(settings_texts::kClearRecentFiles));
  savingFrame_->setTitle(t.Get(settings_texts::kSavingFrame));
  backupsLabel_->setText(t.Get(settings_texts::kBackupsLabel));
  backupsSpin_->setToolTip(t.Get(settings_texts::kBackupsTooltip));
  recoveryLabel_->setText(t.Get(settings_texts::kRecoveryLabel));
  recoverySpin_->setToolTip(t.Get(settings_texts::kRecoveryTooltip));
  gridFrame_->setTitle(t.Get(settings_texts::kDesignGridFrame));
  gridStepXLabel_->setText(t.Get(settings_texts::kHorizontalStepLabel));
  gridStepYLabel_->setText(t.Get(settings_texts::kVerticalStepLabel));
  showGrid_->setText(t.Get(settings_texts::kShowGrid));
  fontFrame_->setTitle(t.Get(settings_texts::kDefaultFontFrame));
  fontButton_->setText(t.Get(settings_texts::kChangeFont));
  startCheck_->setText(t.Get(settings_texts::kShowStartDialog));
  okButton_->setText(t.Get(common_texts::kOk));
  cancelButton_->setText(t.Get(common_texts::kCancel));
  helpButton_->setText(t.Get(common_texts::kHelp));
}

void OptionsDialog::Run() {
  Activate();
  if (context_.dialogs.RunModal(*this) == QDialog::Accepted) Store();
}

void OptionsDialog::Activate() {
  ApplyTexts();
  MainCommands& c = context_.commands;
  const OptionEntries entries = ReadOptions(
      context_.settings,
      {static_cast<int>(c.Buttons(kMainBar).size()), static_cast<int>(c.Buttons(kEditBar).size())});
  showStatus_->setChecked(entries.showStatusBar);
  FillPanelView(entries);
  gridStepXEdit_->setText(entries.gridX);
  gridStepYEdit_->setText(entries.gridY);
  showGrid_->setChecked(entries.showGrid);
  font_ = entries.font;
  fontLabel_->setText(DescribeFont(font_, context_.texts));
  ShowRecentState();
  startCheck_->setChecked(entries.showStartDialog);
  backupsSpin_->setValue(entries.backups);
  recoverySpin_->setValue(entries.recoveryMinutes);
  mainTab_->setCurrentIndex(0);
  ShowPage(0);
}

void OptionsDialog::FillPanelView(const OptionEntries& entries) {
  const QSignalBlocker blocked(panelView_);
  panelView_->clear();
  MainCommands& c = context_.commands;
  for (int bar : {kMainBar, kEditBar}) {
    auto* top =
        new QTreeWidgetItem(panelView_, {context_.texts.Get(common_texts::kModeNames.Plus(bar))});
    top->setData(0, Qt::UserRole, QString::fromLatin1(kTopNodes[bar]));
    top->setCheckState(0, Qt::Checked);
    const QList<ToolbarButton>& buttons = c.Buttons(bar);
    for (int n = 1; n <= buttons.size(); ++n) {
      const ToolbarButton& button = buttons[n - 1];
      const bool separator = button.action->isSeparator();
      auto* node = new QTreeWidgetItem(
          top,
          {separator ? context_.texts.Get(settings_texts::kSeparator) : button.action->toolTip()});
      if (!separator) node->setIcon(0, button.action->icon());
      node->setData(0, Qt::UserRole, n);
      node->setCheckState(0, entries.buttonTicks[At(bar)][n - 1] ? Qt::Checked : Qt::Unchecked);
    }
  }
  panelView_->expandAll();
}

void OptionsDialog::KeepTopNodesTicked(QTreeWidgetItem* item) {
  if (!item->parent() && item->checkState(0) != Qt::Checked) item->setCheckState(0, Qt::Checked);
}

OptionEntries OptionsDialog::Entries() const {
  OptionEntries entries;
  entries.showStatusBar = showStatus_->isChecked();
  for (int bar : {kMainBar, kEditBar}) {
    const QTreeWidgetItem* top = panelView_->topLevelItem(bar);
    for (int i = 0; i < top->childCount(); ++i)
      entries.buttonTicks[At(bar)] << (top->child(i)->checkState(0) == Qt::Checked);
  }
  entries.gridX = gridStepXEdit_->text();
  entries.gridY = gridStepYEdit_->text();
  entries.showGrid = showGrid_->isChecked();
  entries.font = font_;
  entries.showStartDialog = startCheck_->isChecked();
  entries.backups = backupsSpin_->value();
  entries.recoveryMinutes = recoverySpin_->value();
  return entries;
}

void OptionsDialog::Store() {
  StoreOptions(Entries(), &context_.settings);
  emit context_.events.settingsChanged();
  if (!TrySaveIni(files_, settingsPath_, context_.settings)) {
    context_.services.ShowMessage(context_.texts.Get(settings_texts::kSettingsNotWritten)
                                      .arg(QDir::toNativeSeparators(settingsPath_)),
                                  kExclamation);
  }
}

void OptionsDialog::ClearRecentFiles() {
  context_.settings.RecentFiles.fill(kNoRecentFile);
  emit context_.events.recentFilesChanged();
  ShowRecentState();
}

void OptionsDialog::ShowRecentState() {
  clearRecent_->setEnabled(context_.commands.RecentSeparator()->isVisible());
}

void OptionsDialog::ChooseFont() {
  if (std::optional<QFont> chosen = context_.dialogs.ChooseFont(this, FontOf(font_))) {
    font_ = SpecOf(*chosen);
    fontLabel_->setText(DescribeFont(font_, context_.texts));
  }
}

void OptionsDialog::ShowPage(int tab) { pages_->setCurrentIndex(tab); }

}  // namespace orbo
