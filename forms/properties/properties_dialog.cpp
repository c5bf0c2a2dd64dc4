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
#include "shell/dialog_buttons.h"
#include "shell/font_text.h"
#include "shell/named_widget.h"
#include "shell/window_context.h"
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

PropertiesDialog::PropertiesDialog(WindowContext& context, std::function<void()> redraw)
    : QDialog(&context.services.DialogParent()), context_(context), redraw_(std::move(redraw)) {
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
  okButton_ = NamedWidget<QPushButton>("OkButt");
  cancelButton_ = NamedWidget<QPushButton>("CancelButt");
  okButton_->setDefault(true);

  QHBoxLayout* buttons = OkCancelRow(okButton_, cancelButton_);
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
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  ShowTab(0);
}

void PropertiesDialog::BuildDefaultFrame(QWidget* frame) {
  nameLabel_ = NamedWidget<QLabel>("NameLab");
  nameEdit_ = NamedWidget<QLineEdit>("NameTxt");
  borderLabel_ = NamedWidget<QLabel>("BorderLab");
  borderCombo_ = NamedWidget<QComboBox>("BorderCombo");
  colorLabel_ = NamedWidget<QLabel>("ColLab");
  const std::size_t colourFields[] = {ElementFieldIndex("BackColor"),
                                      ElementFieldIndex("ForeColor")};
  for (int i = 0; i < 2; ++i) {
    colorButtons_[i] = NamedWidget<QPushButton>(i == 0 ? "ColPic1" : "ColPic2");
    colorButtons_[i]->setFixedSize(48, 22);
    colorButtons_[i]->setAutoDefault(false);
    Bind(colourFields[i], ColourControl(colorButtons_[i], [this](const QColor& current) {
           return context_.dialogs.ChooseColor(this, current);
         }));
  }
  transparentCheck_ = NamedWidget<QCheckBox>("TranspCheck");
  alignLabel_ = NamedWidget<QLabel>("AlignLab");
  alignCombo_ = NamedWidget<QComboBox>("AlignCombo");
  fontLabel_ = NamedWidget<QLabel>("FontLab");
  fontLabel_->setTextFormat(Qt::PlainText);
  fontButton_ = NamedWidget<QPushButton>("FontButt");
  fontButton_->setAutoDefault(false);
  connect(fontButton_, &QPushButton::clicked, this, &PropertiesDialog::ChooseFont);

  Bind(ElementFieldIndex("Name"), LineControl(nameEdit_));
  Bind(ElementFieldIndex("Border"), ChoiceControl(borderCombo_));
  Bind(ElementFieldIndex("Transparent"), CheckControl(transparentCheck_));
  Bind(ElementFieldIndex("Alignment"), ChoiceControl(alignCombo_));

  auto* form = new QFormLayout(frame);
  form->addRow(nameLabel_, nameEdit_);
  form->addRow(borderLabel_, borderCombo_);
  form->addRow(colorLabel_, Row({colorButtons_[0], colorButtons_[1], transparentCheck_}));
  form->addRow(alignLabel_, alignCombo_);
  form->addRow(fontLabel_, fontButton_);
}

void PropertiesDialog::BuildPrivateFrame(QWidget* frame) {
  imageSizeLabel_ = NamedWidget<QLabel>("ILab2");
  imageSizeCombo_ = NamedWidget<QComboBox>("ICombo2");
  doubleClickLabel_ = NamedWidget<QLabel>("ILab3");
  doubleClickCombo_ = NamedWidget<QComboBox>("ICombo3");
  toolTipLabel_ = NamedWidget<QLabel>("LLab1");
  toolTipEdit_ = NamedWidget<QLineEdit>("LText1");
  quickEnterCheck_ = NamedWidget<QCheckBox>("TCheck1");
  passwordFieldCheck_ = NamedWidget<QCheckBox>("TCheck3");
  buttonActionLabel_ = NamedWidget<QLabel>("BLab1");
  buttonActionCombo_ = NamedWidget<QComboBox>("BCombo1");
  comboListLabel_ = NamedWidget<QLabel>("CLab1");
  comboListEdit_ = NamedWidget<QPlainTextEdit>("CText1");
  flatStyleCheck_ = NamedWidget<QCheckBox>("FCheck1");
  flagAtRightCheck_ = NamedWidget<QCheckBox>("FCheck2");
  limitTextCheck_ = NamedWidget<QCheckBox>("MCheck1");
  textLimitEdit_ = NamedWidget<QLineEdit>("MText1");
  textLimitEdit_->setMaximumWidth(80);
  textLimitUnitLabel_ = NamedWidget<QLabel>("MLabel1");
  formIconLabel_ = NamedWidget<QLabel>("FormPicLab");
  formIconButton_ = NamedWidget<QPushButton>("FormPic");
  formIconButton_->setAutoDefault(false);
  formIconButton_->setIconSize(QSize(16, 16));
  formIconButton_->setFixedSize(32, 28);
  shadowCheck_ = NamedWidget<QCheckBox>("FormCheck1");
  listLengthLabel_ = NamedWidget<QLabel>("MaxListLab");
  listLengthEdit_ = NamedWidget<QLineEdit>("MaxListTxt");
  listLengthEdit_->setMaximumWidth(80);
  listLengthUnitLabel_ = NamedWidget<QLabel>("MaxListLab2");

  Bind(ElementFieldIndex("ImageSize"), ChoiceControl(imageSizeCombo_));
  Bind(ElementFieldIndex("DblClickAction"), ChoiceControl(doubleClickCombo_));
  Bind(ElementFieldIndex("ToolTip"), LineControl(toolTipEdit_));
  Bind(ElementFieldIndex("QuickEnter"), CheckControl(quickEnterCheck_));
  Bind(ElementFieldIndex("PasswordField"), CheckControl(passwordFieldCheck_));
  Bind(ElementFieldIndex("ButtonAction"), ChoiceControl(buttonActionCombo_));
  Bind(ElementFieldIndex("ComboList"), LinesControl(comboListEdit_));
  Bind(ElementFieldIndex("FlagAppearance"), CheckControl(flatStyleCheck_));
  Bind(ElementFieldIndex("FlagAtRight"), CheckControl(flagAtRightCheck_));
  Bind(ElementFieldIndex("TextLimit"), LimitControl(limitTextCheck_, textLimitEdit_));

  privatePages_ = new QStackedWidget;
  privatePages_->addWidget(Page({Row({imageSizeLabel_, imageSizeCombo_}),
                                 Row({doubleClickLabel_, doubleClickCombo_})}));    // image
  privatePages_->addWidget(Page({toolTipLabel_, toolTipEdit_}));                    // label
  privatePages_->addWidget(Page({quickEnterCheck_, passwordFieldCheck_}));          // text
  privatePages_->addWidget(Page({Row({buttonActionLabel_, buttonActionCombo_})}));  // button
  privatePages_->addWidget(Page({comboListLabel_, comboListEdit_}));                // combo
  privatePages_->addWidget(Page({flatStyleCheck_, flagAtRightCheck_}));             // flag
  privatePages_->addWidget(
      Page({limitTextCheck_, Row({textLimitEdit_, textLimitUnitLabel_})}));  // multiline text
  privatePages_->addWidget(Page({Row({formIconLabel_, formIconButton_}), shadowCheck_}));  // form
  privatePages_->addWidget(
      Page({Row({listLengthLabel_, listLengthEdit_, listLengthUnitLabel_})}));  // database
  auto* layout = new QVBoxLayout(frame);
  layout->addWidget(privatePages_);

  connect(formIconButton_, &QPushButton::clicked, this, &PropertiesDialog::ChooseIcon);
}

void PropertiesDialog::ApplyTexts() {
  const LanguageTexts& t = context_.texts;
  setWindowTitle(t.Get(properties_texts::kPropertiesTitle));
  mainTab_->setTabText(0, t.Get(properties_texts::kGeneralTab));
  mainTab_->setTabText(1, t.Get(properties_texts::kAdditionalTab));
  nameLabel_->setText(t.Get(properties_texts::kNameLabel));
  borderLabel_->setText(t.Get(properties_texts::kBorderLabel));
  FillCombo(borderCombo_, t, properties_texts::kBorders, ChoicesOf("Border"));
  transparentCheck_->setText(t.Get(properties_texts::kTransparent));
  colorLabel_->setText(t.Get(properties_texts::kColorsLabel));
  alignLabel_->setText(t.Get(properties_texts::kAlignmentLabel));
  FillCombo(alignCombo_, t, properties_texts::kAlignments, ChoicesOf("Alignment"));
  fontButton_->setText(t.Get(properties_texts::kChangeFont));
  doubleClickLabel_->setText(t.Get(properties_texts::kDoubleClickLabel));
  FillCombo(doubleClickCombo_, t, properties_texts::kDoubleClickActions,
            ChoicesOf("DblClickAction"));
  imageSizeLabel_->setText(t.Get(properties_texts::kImageSizeLabel));
  FillCombo(imageSizeCombo_, t, properties_texts::kImageSizes, ChoicesOf("ImageSize"));
  buttonActionLabel_->setText(t.Get(properties_texts::kButtonActionLabel));
  FillCombo(buttonActionCombo_, t, properties_texts::kButtonActions, ChoicesOf("ButtonAction"));
  formIconLabel_->setText(t.Get(properties_texts::kIconLabel));
  shadowCheck_->setText(t.Get(properties_texts::kShadow));
  quickEnterCheck_->setText(t.Get(properties_texts::kQuickEnter));
  passwordFieldCheck_->setText(t.Get(properties_texts::kPasswordField));
  limitTextCheck_->setText(t.Get(properties_texts::kLimitLength));
  textLimitUnitLabel_->setText(t.Get(properties_texts::kLimitLengthUnit));
  toolTipLabel_->setText(t.Get(properties_texts::kTooltipLabel));
  comboListLabel_->setText(t.Get(properties_texts::kListItemsLabel));
  flatStyleCheck_->setText(t.Get(properties_texts::kFlatStyle));
  flagAtRightCheck_->setText(t.Get(properties_texts::kCheckBoxAtRight));
  listLengthLabel_->setText(t.Get(properties_texts::kLongestListTextLabel));
  listLengthUnitLabel_->setText(t.Get(properties_texts::kLongestListTextUnit));
  okButton_->setText(t.Get(common_texts::kOk));
  cancelButton_->setText(t.Get(common_texts::kCancel));
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
  for (QWidget* name : std::initializer_list<QWidget*>{nameLabel_, nameEdit_}) Use(name, use.name);
  for (QWidget* border : std::initializer_list<QWidget*>{borderLabel_, borderCombo_})
    Use(border, use.border);
  Use(colorButtons_[0], use.backColor);
  Use(colorButtons_[1], use.foreColor);
  colorLabel_->setVisible(use.backColor != ControlUse::kHidden ||
                          use.foreColor != ControlUse::kHidden);
  Use(transparentCheck_, use.transparent);
  for (QWidget* align : std::initializer_list<QWidget*>{alignLabel_, alignCombo_})
    Use(align, use.alignment);
  Use(fontButton_, use.font);
  // The database has no name: the box shows what it stands for.
  if (selType_ == kSelectDatabase)
    nameEdit_->setText(context_.texts.Get(properties_texts::kDatabaseName));
  privatePages_->setCurrentIndex(PageOf(selType_));
}

void PropertiesDialog::Bind(std::size_t field, std::unique_ptr<FieldControl> control) {
  fieldControls_[field] = std::move(control);
}

void PropertiesDialog::ShowEntries(const PropertyEntries& e) {
  for (std::size_t i = 0; i < kElementFields.size(); ++i) {
    if (fieldControls_[i]) fieldControls_[i]->Show(e[i]);
  }
  fontLabel_->setText(DescribeFont(
      SelectionFont(context_.db, context_.state.CurForm, selType_, slot_), context_.texts));
  icon_ = e.icon;
  formIconButton_->setIcon(context_.services.IconFor(icon_));
  shadowCheck_->setChecked(e.shadow);
  listLengthEdit_->setText(e.maxList);
}

PropertyEntries PropertiesDialog::Entries() const {
  PropertyEntries e;
  for (std::size_t i = 0; i < kElementFields.size(); ++i) {
    if (fieldControls_[i]) e[i] = fieldControls_[i]->Read();
  }
  e.icon = icon_;
  e.shadow = shadowCheck_->isChecked();
  e.maxList = listLengthEdit_->text();
  return e;
}

void PropertiesDialog::Store() {
  const int form = context_.state.CurForm;
  const PropertyEntries entries = Entries();
  const ChangeScope scope = ScopeOfProperties(context_.db, form, selType_);
  int choicesMoved = 0;
  if (!context_.funnel.Change(context_.texts.Get(properties_texts::kPropertiesStep), scope, [&] {
        choicesMoved = StoreProperties(context_.db, form, selType_, slot_, entries);
      }))
    return;
  redraw_();
  if (choicesMoved > 0) {
    context_.services.ShowMessage(
        context_.texts.Count(properties_texts::kChoicesMoved, choicesMoved), kOkOnly);
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
  fontLabel_->setText(DescribeFont(font, context_.texts));
  if (IsElementSelection(selType_)) redraw_();
}

void PropertiesDialog::ChooseIcon() {
  icon_ = context_.services.ChooseIcon(icon_);
  formIconButton_->setIcon(context_.services.IconFor(icon_));
}

void PropertiesDialog::ShowTab(int tab) {
  frames_->setCurrentWidget(tab == 0 ? defaultFrame_ : privateFrame_);
}

}  // namespace orbo
