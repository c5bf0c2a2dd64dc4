#include "forms/properties/properties_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "forms/properties/properties_texts.h"
#include "shell/common_texts.h"
#include "shell/font_text.h"
#include "shell/named_widget.h"
#include "shell/navigator.h"
#include "shell/window_context.h"
#include "storage/color_value.h"
#include "storage/font_value.h"

namespace orbo {
namespace {

// The private frame's page of each selection: the element types, then the
// form and the database.
constexpr int kFormPage = kElementTypeCount;
constexpr int kDatabasePage = kElementTypeCount + 1;
// The undo steps of the dialog.

int PageOf(int selType) {
  return selType == kSelectForm ? kFormPage : selType == kSelectDatabase ? kDatabasePage : selType;
}

void Use(QWidget* control, ControlUse use) {
  control->setVisible(use != ControlUse::kHidden);
  control->setEnabled(use == ControlUse::kShown);
}

void FillCombo(QComboBox* combo, const LanguageTexts& texts, TextId first, int count) {
  combo->clear();
  for (int i = 0; i < count; ++i) combo->addItem(texts.Get(first.Plus(i)));
}

// A value beyond the list shows no entry and is kept as it was.
void ShowIndex(QComboBox* combo, int value) {
  combo->setCurrentIndex(value < combo->count() ? value : -1);
}
int ChosenIndex(const QComboBox* combo, int loaded) {
  return combo->currentIndex() < 0 ? loaded : combo->currentIndex();
}

QWidget* Page(std::initializer_list<QWidget*> rows) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  for (QWidget* row : rows) layout->addWidget(row);
  layout->addStretch(1);
  return page;
}

QWidget* Row(std::initializer_list<QWidget*> widgets) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* widget : widgets) layout->addWidget(widget);
  layout->addStretch(1);
  return row;
}

}  // namespace

PropertiesDialog::PropertiesDialog(WindowContext& context, Navigator& navigator,
                                   std::function<void()> redraw)
    : QDialog(&context.services.DialogParent()),
      context_(context),
      navigator_(navigator),
      redraw_(std::move(redraw)) {
  setObjectName("SetForm");
  mainTab_ = NamedWidget<QTabBar>("MainTab");
  mainTab_->addTab(QString());
  mainTab_->addTab(QString());
  mainTab_->setTabData(0, QStringLiteral("public"));
  mainTab_->setTabData(1, QStringLiteral("private"));
  defaultFrame_ = NamedWidget<QGroupBox>("DefaultFrame");
  privateFrame_ = NamedWidget<QGroupBox>("PrivateFrame");
  BuildDefaultFrame(defaultFrame_);
  BuildPrivateFrame(privateFrame_);
  okButt_ = NamedWidget<QPushButton>("OkButt");
  cancelButt_ = NamedWidget<QPushButton>("CancelButt");
  okButt_->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(okButt_);
  buttons->addWidget(cancelButt_);
  // The two frames share one place as large as the larger, so changing
  // tabs never changes the dialog's size.
  frames_ = new QStackedWidget;
  frames_->addWidget(defaultFrame_);
  frames_->addWidget(privateFrame_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(mainTab_);
  layout->addWidget(frames_, 1);
  layout->addLayout(buttons);
  resize(420, 360);

  connect(mainTab_, &QTabBar::currentChanged, this, &PropertiesDialog::ShowTab);
  connect(okButt_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButt_, &QPushButton::clicked, this, &QDialog::reject);
  ShowTab(0);
}

void PropertiesDialog::BuildDefaultFrame(QWidget* frame) {
  nameLab_ = NamedWidget<QLabel>("NameLab");
  nameTxt_ = NamedWidget<QLineEdit>("NameTxt");
  borderLab_ = NamedWidget<QLabel>("BorderLab");
  borderCombo_ = NamedWidget<QComboBox>("BorderCombo");
  colLab_ = NamedWidget<QLabel>("ColLab");
  for (int i = 0; i < 2; ++i) {
    colPic_[i] = NamedWidget<QPushButton>(i == 0 ? "ColPic1" : "ColPic2");
    colPic_[i]->setFixedSize(48, 22);
    colPic_[i]->setAutoDefault(false);
    connect(colPic_[i], &QPushButton::clicked, this, [this, i] { ChooseColor(i); });
  }
  transpCheck_ = NamedWidget<QCheckBox>("TranspCheck");
  alignLab_ = NamedWidget<QLabel>("AlignLab");
  alignCombo_ = NamedWidget<QComboBox>("AlignCombo");
  fontLab_ = NamedWidget<QLabel>("FontLab");
  fontLab_->setTextFormat(Qt::PlainText);
  fontButt_ = NamedWidget<QPushButton>("FontButt");
  fontButt_->setAutoDefault(false);
  connect(fontButt_, &QPushButton::clicked, this, &PropertiesDialog::ChooseFont);

  auto* form = new QFormLayout(frame);
  form->addRow(nameLab_, nameTxt_);
  form->addRow(borderLab_, borderCombo_);
  form->addRow(colLab_, Row({colPic_[0], colPic_[1], transpCheck_}));
  form->addRow(alignLab_, alignCombo_);
  form->addRow(fontLab_, fontButt_);
}

void PropertiesDialog::BuildPrivateFrame(QWidget* frame) {
  iLab2_ = NamedWidget<QLabel>("ILab2");
  iCombo2_ = NamedWidget<QComboBox>("ICombo2");
  iLab3_ = NamedWidget<QLabel>("ILab3");
  iCombo3_ = NamedWidget<QComboBox>("ICombo3");
  lLab1_ = NamedWidget<QLabel>("LLab1");
  lText1_ = NamedWidget<QLineEdit>("LText1");
  tCheck1_ = NamedWidget<QCheckBox>("TCheck1");
  tCheck3_ = NamedWidget<QCheckBox>("TCheck3");
  bLab1_ = NamedWidget<QLabel>("BLab1");
  bCombo1_ = NamedWidget<QComboBox>("BCombo1");
  cLab1_ = NamedWidget<QLabel>("CLab1");
  cText1_ = NamedWidget<QPlainTextEdit>("CText1");
  fCheck1_ = NamedWidget<QCheckBox>("FCheck1");
  fCheck2_ = NamedWidget<QCheckBox>("FCheck2");
  mCheck1_ = NamedWidget<QCheckBox>("MCheck1");
  mText1_ = NamedWidget<QLineEdit>("MText1");
  mText1_->setMaximumWidth(80);
  mLabel1_ = NamedWidget<QLabel>("MLabel1");
  formPicLab_ = NamedWidget<QLabel>("FormPicLab");
  formPic_ = NamedWidget<QPushButton>("FormPic");
  formPic_->setAutoDefault(false);
  formPic_->setIconSize(QSize(16, 16));
  formPic_->setFixedSize(32, 28);
  formCheck1_ = NamedWidget<QCheckBox>("FormCheck1");
  maxListLab_ = NamedWidget<QLabel>("MaxListLab");
  maxListTxt_ = NamedWidget<QLineEdit>("MaxListTxt");
  maxListTxt_->setMaximumWidth(80);
  maxListLab2_ = NamedWidget<QLabel>("MaxListLab2");

  privatePages_ = new QStackedWidget;
  privatePages_->addWidget(Page({Row({iLab2_, iCombo2_}), Row({iLab3_, iCombo3_})}));  // image
  privatePages_->addWidget(Page({lLab1_, lText1_}));                                   // label
  privatePages_->addWidget(Page({tCheck1_, tCheck3_}));                                // text
  privatePages_->addWidget(Page({Row({bLab1_, bCombo1_})}));                           // button
  privatePages_->addWidget(Page({cLab1_, cText1_}));                                   // combo
  privatePages_->addWidget(Page({fCheck1_, fCheck2_}));                                // flag
  privatePages_->addWidget(Page({mCheck1_, Row({mText1_, mLabel1_})}));         // multiline text
  privatePages_->addWidget(Page({Row({formPicLab_, formPic_}), formCheck1_}));  // form
  privatePages_->addWidget(Page({Row({maxListLab_, maxListTxt_, maxListLab2_})}));  // database
  auto* layout = new QVBoxLayout(frame);
  layout->addWidget(privatePages_);

  connect(mCheck1_, &QCheckBox::clicked, this, [this](bool checked) {
    mText1_->setText(TextLimitShown(checked));
    mText1_->setEnabled(checked);
  });
  connect(formPic_, &QPushButton::clicked, this, &PropertiesDialog::ChooseIcon);
}

void PropertiesDialog::ApplyTexts() {
  const LanguageTexts& t = context_.texts;
  setWindowTitle(t.Get(properties_texts::kPropertiesTitle));
  mainTab_->setTabText(0, t.Get(properties_texts::kGeneralTab));
  mainTab_->setTabText(1, t.Get(properties_texts::kAdditionalTab));
  nameLab_->setText(t.Get(properties_texts::kNameLabel));
  borderLab_->setText(t.Get(properties_texts::kBorderLabel));
  FillCombo(borderCombo_, t, properties_texts::kBorders, 3);
  transpCheck_->setText(t.Get(properties_texts::kTransparent));
  colLab_->setText(t.Get(properties_texts::kColorsLabel));
  alignLab_->setText(t.Get(properties_texts::kAlignmentLabel));
  FillCombo(alignCombo_, t, properties_texts::kAlignments, 3);
  fontButt_->setText(t.Get(properties_texts::kChangeFont));
  iLab3_->setText(t.Get(properties_texts::kDoubleClickLabel));
  FillCombo(iCombo3_, t, properties_texts::kDoubleClickActions, 3);
  iLab2_->setText(t.Get(properties_texts::kImageSizeLabel));
  FillCombo(iCombo2_, t, properties_texts::kImageSizes, 2);
  bLab1_->setText(t.Get(properties_texts::kButtonActionLabel));
  FillCombo(bCombo1_, t, properties_texts::kButtonActions, 9);
  formPicLab_->setText(t.Get(properties_texts::kIconLabel));
  formCheck1_->setText(t.Get(properties_texts::kShadow));
  tCheck1_->setText(t.Get(properties_texts::kQuickEnter));
  tCheck3_->setText(t.Get(properties_texts::kPasswordField));
  mCheck1_->setText(t.Get(properties_texts::kLimitLength));
  mLabel1_->setText(t.Get(properties_texts::kLimitLengthUnit));
  lLab1_->setText(t.Get(properties_texts::kTooltipLabel));
  cLab1_->setText(t.Get(properties_texts::kListItemsLabel));
  fCheck1_->setText(t.Get(properties_texts::kFlatStyle));
  fCheck2_->setText(t.Get(properties_texts::kCheckBoxAtRight));
  maxListLab_->setText(t.Get(properties_texts::kLongestListTextLabel));
  maxListLab2_->setText(t.Get(properties_texts::kLongestListTextUnit));
  okButt_->setText(t.Get(common_texts::kOk));
  cancelButt_->setText(t.Get(common_texts::kCancel));
}

void PropertiesDialog::Run() {
  const DisplayState& state = context_.state;
  if (!IsSelectionValid(context_.db, state.CurForm, state.SelType, state.SelIndex)) return;
  selType_ = state.SelType;
  slot_ = state.SelIndex;
  Activate();
  if (context_.dialogs.RunModal(*this) == QDialog::Accepted) Store();
}

void PropertiesDialog::Activate() {
  ApplyTexts();
  const PropertyEntries entries =
      ReadProperties(context_.db, context_.state.CurForm, selType_, slot_);
  ShowEntries(entries);
  const CommonControls use = CommonControlsFor(selType_);
  for (QWidget* name : std::initializer_list<QWidget*>{nameLab_, nameTxt_}) Use(name, use.name);
  for (QWidget* border : std::initializer_list<QWidget*>{borderLab_, borderCombo_})
    Use(border, use.border);
  Use(colPic_[0], use.backColor);
  Use(colPic_[1], use.foreColor);
  colLab_->setVisible(use.backColor != ControlUse::kHidden || use.foreColor != ControlUse::kHidden);
  Use(transpCheck_, use.transparent);
  for (QWidget* align : std::initializer_list<QWidget*>{alignLab_, alignCombo_})
    Use(align, use.alignment);
  Use(fontButt_, use.font);
  // The database has no name: the box shows what it stands for.
  if (selType_ == kSelectDatabase)
    nameTxt_->setText(context_.texts.Get(properties_texts::kDatabaseName));
  privatePages_->setCurrentIndex(PageOf(selType_));
}

void PropertiesDialog::ShowEntries(const PropertyEntries& e) {
  nameTxt_->setText(e.name);
  ShowIndex(borderCombo_, e.border);
  colors_[0] = e.backColor;
  colors_[1] = e.foreColor;
  ShowColor(0);
  ShowColor(1);
  transpCheck_->setChecked(e.transparent);
  ShowIndex(alignCombo_, e.alignment);
  fontLab_->setText(DescribeFont(
      SelectionFont(context_.db, context_.state.CurForm, selType_, slot_), context_.texts));
  ShowIndex(iCombo2_, e.imageSize);
  ShowIndex(iCombo3_, e.dblClickAction);
  lText1_->setText(e.toolTip);
  tCheck1_->setChecked(e.quickEnter);
  tCheck3_->setChecked(e.passwordField);
  ShowIndex(bCombo1_, e.buttonAction);
  cText1_->setPlainText(e.comboList);
  fCheck1_->setChecked(e.flatStyle);
  fCheck2_->setChecked(e.flagAtRight);
  mCheck1_->setChecked(e.limitText);
  mText1_->setText(e.textLimit);
  mText1_->setEnabled(e.limitText);
  icon_ = e.icon;
  formPic_->setIcon(context_.services.IconFor(icon_));
  formCheck1_->setChecked(e.shadow);
  maxListTxt_->setText(e.maxList);
}

PropertyEntries PropertiesDialog::Entries() const {
  const PropertyEntries loaded =
      ReadProperties(context_.db, context_.state.CurForm, selType_, slot_);
  PropertyEntries e;
  e.name = nameTxt_->text();
  e.border = ChosenIndex(borderCombo_, loaded.border);
  e.backColor = colors_[0];
  e.foreColor = colors_[1];
  e.transparent = transpCheck_->isChecked();
  e.alignment = ChosenIndex(alignCombo_, loaded.alignment);
  e.imageSize = ChosenIndex(iCombo2_, loaded.imageSize);
  e.dblClickAction = ChosenIndex(iCombo3_, loaded.dblClickAction);
  e.toolTip = lText1_->text();
  e.quickEnter = tCheck1_->isChecked();
  e.passwordField = tCheck3_->isChecked();
  e.buttonAction = ChosenIndex(bCombo1_, loaded.buttonAction);
  e.comboList = cText1_->toPlainText();
  e.flatStyle = fCheck1_->isChecked();
  e.flagAtRight = fCheck2_->isChecked();
  e.limitText = mCheck1_->isChecked();
  e.textLimit = mText1_->text();
  e.icon = icon_;
  e.shadow = formCheck1_->isChecked();
  e.maxList = maxListTxt_->text();
  return e;
}

void PropertiesDialog::Store() {
  const int form = context_.state.CurForm;
  const PropertyEntries entries = Entries();
  if (!context_.funnel.Change(
          context_.texts.Get(properties_texts::kPropertiesStep), ChangeScope::Forms({form}),
          [&] { StoreProperties(context_.db, form, selType_, slot_, entries); }))
    return;
  // Icons of forms and the list length show in the tree.
  if (!IsElementSelection(selType_)) navigator_.RebuildTree();
  redraw_();
}

void PropertiesDialog::ShowColor(int swatch) {
  colPic_[swatch]->setStyleSheet(
      QStringLiteral("QPushButton { background-color: %1; border: 1px solid palette(dark); }")
          .arg(ColorOf(colors_[swatch]).name()));
}

void PropertiesDialog::ChooseColor(int swatch) {
  if (std::optional<QColor> chosen = context_.dialogs.ChooseColor(this, ColorOf(colors_[swatch]))) {
    colors_[swatch] = StoredColor(*chosen);
    ShowColor(swatch);
  }
}

void PropertiesDialog::ChooseFont() {
  Database& db = context_.db;
  const int form = context_.state.CurForm;
  FontSpec& font = SelectionFont(db, form, selType_, slot_);
  std::optional<QFont> chosen = context_.dialogs.ChooseFont(this, FontOf(font));
  if (!chosen) return;
  // The form's and the database's font is the database font, which every
  // step keeps anyway.
  const ChangeScope scope =
      IsElementSelection(selType_) ? ChangeScope::Forms({form}) : ChangeScope{};
  context_.funnel.Change(context_.texts.Get(properties_texts::kFontStep), scope,
                         [&] { font = SpecOf(*chosen); });
  fontLab_->setText(DescribeFont(font, context_.texts));
  if (IsElementSelection(selType_)) redraw_();
}

void PropertiesDialog::ChooseIcon() {
  icon_ = context_.services.ChooseIcon(icon_);
  formPic_->setIcon(context_.services.IconFor(icon_));
}

void PropertiesDialog::ShowTab(int tab) {
  frames_->setCurrentWidget(tab == 0 ? defaultFrame_ : privateFrame_);
}

}  // namespace orbo
