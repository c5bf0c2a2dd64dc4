#include "forms/editor/record_editor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include "forms/canvas/form_canvas.h"
#include "forms/editor/button_request.h"
#include "forms/editor/editor_texts.h"
#include "forms/editor/typed_words.h"
#include "shell/common_texts.h"
#include "shell/navigator.h"
#include "shell/undo_keys.h"
#include "shell/window_context.h"
#include "storage/data_path.h"
#include "storage/element_text.h"
#include "storage/element_values.h"
#include "storage/navigation_logic.h"

namespace orbo {
namespace {

constexpr int kStatusSeconds = 8;
// A media file name longer than this is cut in the status panel.
constexpr int kLongestMediaName = 15;
// The undo steps of record editing.

constexpr const char* kTypeProperty = "elementType";
constexpr const char* kSlotProperty = "elementSlot";

std::size_t At(int i) { return static_cast<std::size_t>(i); }

// The menu entries of the picture commands, by double-click action.
enum PictureCommand { kChangePicture = 0, kFullSize = 1, kEditPicture = 2 };

}  // namespace

RecordEditor::RecordEditor(WindowContext& context, FormCanvas& canvas, Navigator& navigator)
    : QObject(&canvas.FormArea()),
      context_(context),
      canvas_(canvas),
      navigator_(navigator),
      recordMenu_(new QMenu(&canvas.FormArea())) {
  canvas_.onControlCreated = [this](int type, int slot, QWidget* control) {
    Listen(type, slot, control);
  };
  recordMenu_->setObjectName("mnuRecord");
  const std::pair<const char*, std::function<void()>> pictureCommands[] = {
      {"mnuPicChange", [this] { ChangePicture(); }},
      {"mnuPicEdit", [this] { OpenPicture(); }},
      {"mnuPicFullsize", [this] { OpenPicture(); }},
  };
  for (const auto& [name, command] : pictureCommands) {
    QAction* action = recordMenu_->addAction(QString());
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, context_.funnel.Gated(command));
  }
  // Captions in the language loaded when the menu opens.
  connect(recordMenu_, &QMenu::aboutToShow, this, [this] {
    recordMenu_->setTitle(context_.texts.Get(editor_texts::kRecordMenuTitle));
    const QList<QAction*> actions = recordMenu_->actions();
    for (int i = 0; i < actions.size(); ++i) {
      actions[i]->setText(context_.texts.Get(editor_texts::kRecordMenuItems.Plus(i)));
      actions[i]->setEnabled(context_.state.SelType == kImage);
    }
  });
  canvas_.FormArea().installEventFilter(this);
  connect(&canvas_.QuickListButton(), &QToolButton::pressed, this, [this] { OpenQuickList(); });
  canvas_.QuickListButton().setFocusPolicy(Qt::NoFocus);
  connect(&canvas_.QuickList(), &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { TakeQuickValue(item->text()); });
  canvas_.QuickList().installEventFilter(this);

  MainCommands& commands = context_.commands;
  MediaPlayer& media = context_.dialogs.Media();
  commands.OnTriggered(commands.Tool(kMainBar, "mciPlay"), [&media] { media.Resume(); });
  commands.OnTriggered(commands.Tool(kMainBar, "mciPause"), [&media] { media.Pause(); });
  commands.OnTriggered(commands.Tool(kMainBar, "mciStop"), [&media] { media.Stop(); });
}

RecordEditor::~RecordEditor() = default;

bool RecordEditor::Editing() const {
  const DisplayState& state = context_.state;
  return !state.EventsSuppressed && state.EditMode == WorkMode::Database && state.CurRecord >= 0 &&
         state.CurForm >= 0;
}

void RecordEditor::Listen(int type, int slot, QWidget* control) {
  control->setProperty(kTypeProperty, type);
  control->setProperty(kSlotProperty, slot);
  control->installEventFilter(this);
  switch (type) {
    case kText:
      connect(static_cast<QLineEdit*>(control), &QLineEdit::textChanged, this,
              [this, slot](const QString& text) { StoreTyped(kText, slot, text); });
      break;
    case kMultiline: {
      auto* memo = static_cast<QTextEdit*>(control);
      connect(memo, &QTextEdit::textChanged, this, [this, slot, memo] {
        if (Editing()) StoreTyped(kMultiline, slot, StoredLines(memo->toPlainText()));
      });
      break;
    }
    case kCombo:
      connect(static_cast<QComboBox*>(control), &QComboBox::currentIndexChanged, this,
              [this, slot](int index) {
                if (index < 0) return;  // an emptied selection is no choice made
                Store(editor_texts::kChoiceStep, {}, [&](RecordData& record) {
                  record.ComboValue[At(slot)] = static_cast<std::int16_t>(index);
                });
              });
      break;
    case kFlag: {
      auto* flag = static_cast<QCheckBox*>(control);
      connect(flag, &QCheckBox::clicked, this, [this, slot, flag](bool checked) {
        if (context_.state.EditMode == WorkMode::Edit) {
          // A flag is no value while forms are designed.
          SuppressEvents suppressed(context_.state);
          flag->setChecked(false);
          return;
        }
        Store(editor_texts::kFlagStep, {},
              [&](RecordData& record) { record.FlagValue[At(slot)] = checked; });
      });
      break;
    }
    case kButton:
      connect(static_cast<QPushButton*>(control), &QPushButton::clicked, this, [this, slot] {
        if (context_.state.EditMode == WorkMode::Database)
          context_.funnel.Run([this, slot] { ClickButton(slot); });
      });
      break;
    default:
      break;
  }
}

void RecordEditor::Store(TextId step, const QString& mergeKey,
                         const std::function<void(RecordData&)>& store) {
  if (!Editing()) return;
  const int record = context_.state.CurRecord;
  const bool stored = context_.funnel.Run([&] {
    context_.funnel.Change(
        context_.texts.Get(step), ChangeScope::Records({record}),
        [&] { store(context_.db.Records[At(record)]); }, mergeKey);
  });
  // The value belongs to no record while another command changes them; the
  // controls show the record again once that command is done.
  if (!stored) QTimer::singleShot(0, this, [this] { ShowRecordAgain(); });
}

bool RecordEditor::ChangeShownRecord(TextId step, const std::function<void(RecordData&)>& store) {
  const int record = context_.state.CurRecord;
  return context_.funnel.Change(context_.texts.Get(step), ChangeScope::Records({record}),
                                [&] { store(context_.db.Records[At(record)]); });
}

void RecordEditor::StoreTyped(int type, int slot, const QString& value) {
  if (!Editing()) return;
  const RecordData& record = context_.db.Records[At(context_.state.CurRecord)];
  const QString& before = type == kText ? record.TextValue[At(slot)] : record.MemoValue[At(slot)];
  if (StartsNewWord(before, value)) ++typedWord_;
  // One step per word of one box of one record.
  const QString word = QStringLiteral("%1/%2/%3/%4")
                           .arg(context_.state.CurRecord)
                           .arg(type)
                           .arg(slot)
                           .arg(typedWord_);
  Store(editor_texts::kTypingStep, word, [&](RecordData& changed) {
    (type == kText ? changed.TextValue : changed.MemoValue)[At(slot)] = value;
  });
}

void RecordEditor::ShowRecordAgain() {
  if (context_.state.CurRecord >= 0) canvas_.FillRecordValues(context_.state.CurRecord);
}

// The quick list.

void RecordEditor::OfferQuickList(int slot, QLineEdit* text) {
  const DisplayState& state = context_.state;
  if (state.EditMode != WorkMode::Database || state.CurForm < 0 || canvas_.QuickList().isVisible())
    return;
  if (context_.db.Forms[At(state.CurForm)].QuickEnter[At(slot)] != 1) return;
  quickSlot_ = slot;
  QToolButton& button = canvas_.QuickListButton();
  button.setGeometry(text->x() + text->width(), text->y(), text->height(), text->height());
  button.show();
  button.raise();
}

void RecordEditor::OpenQuickList() {
  if (quickSlot_ < 0 || !Editing()) return;
  auto* text = static_cast<QLineEdit*>(canvas_.Control(kText, quickSlot_));
  QListWidget& list = canvas_.QuickList();
  list.clear();
  list.addItems(
      QuickListValues(context_.db, context_.state.CurRecord, context_.state.CurForm, quickSlot_));
  const QPoint canvasAt = canvas_.FormArea().pos();
  list.setGeometry(canvasAt.x() + text->x(), canvasAt.y() + text->y() + text->height(),
                   text->width(), std::max(text->height() * 6, 60));
  list.setPalette(text->palette());
  list.show();
  list.raise();
  list.setFocus();
}

void RecordEditor::TakeQuickValue(const QString& value) {
  if (quickSlot_ < 0) return;
  const int slot = quickSlot_;
  auto* text = static_cast<QLineEdit*>(canvas_.Control(kText, slot));
  canvas_.QuickList().hide();
  // A value taken from the list is a step of its own, not a typed word.
  Store(editor_texts::kQuickListStep, {},
        [&](RecordData& record) { record.TextValue[At(slot)] = value; });
  {
    SuppressEvents suppressed(context_.state);
    text->setText(value);
  }
  text->setFocus();
}

// Pictures.

void RecordEditor::ChangePicture() {
  const DisplayState& state = context_.state;
  if (state.EditMode != WorkMode::Database || state.CurRecord < 0 || state.SelType != kImage)
    return;
  const LanguageTexts& texts = context_.texts;
  const QString file = context_.dialogs.OpenFileName(
      &context_.services.DialogParent(), texts.Get(editor_texts::kChoosePictureTitle),
      texts.Get(common_texts::kPictureFilter), FileDialogStart(context_.db.DatabasePath));
  if (file.isEmpty()) return;
  const int slot = state.SelIndex;
  const QString stored = MakeRelativePath(file, context_.db.DatabasePath);
  if (!ChangeShownRecord(editor_texts::kPictureStep,
                         [&](RecordData& record) { record.ImageValue[At(slot)] = stored; }))
    return;
  ShowRecordAgain();
}

void RecordEditor::OpenPicture() {
  const DisplayState& state = context_.state;
  if (state.EditMode != WorkMode::Database || state.CurRecord < 0 || state.SelType != kImage)
    return;
  // A picture opens as a button opens a file.
  const QString stored = context_.db.Records[At(state.CurRecord)].ImageValue[At(state.SelIndex)];
  const ButtonRequest request = ButtonClickRequest(kOpenFile, stored, context_.db.DatabasePath);
  if (request.kind == ButtonRequest::kOpen) {
    OpenInDesktop(request.url, stored);
  } else {
    SayInStatusBar(editor_texts::kNoSuchFile, stored);
  }
}

// Buttons.

void RecordEditor::ClickButton(int slot) {
  const DisplayState& state = context_.state;
  const Database& db = context_.db;
  if (state.EditMode != WorkMode::Database || state.CurRecord < 0) return;
  const int action = db.Forms[At(state.CurForm)].ButtonAction[At(slot)];
  const QString value = db.Records[At(state.CurRecord)].ButtonValue[At(slot)];
  const ButtonRequest request = ButtonClickRequest(action, value, db.DatabasePath);
  switch (request.kind) {
    case ButtonRequest::kOpen:
      OpenInDesktop(request.url, value);
      break;
    case ButtonRequest::kPlay:
      context_.dialogs.Media().Play(request.file);
      ShowMediaButtons(true);
      break;
    case ButtonRequest::kRefused:
      SayInStatusBar(
          action == kSendMail ? editor_texts::kNotMailAddress : editor_texts::kNoSuchFile, value);
      break;
    case ButtonRequest::kAddRecord:
      navigator_.AddRecord(state.CurFolder, -1, false);
      break;
    case ButtonRequest::kDeleteRecord:
      navigator_.DeleteCurrentRecord();
      break;
    case ButtonRequest::kNextRecord:
      navigator_.Step(NextRecordIndex);
      break;
    case ButtonRequest::kPreviousRecord:
      navigator_.Step(PrevRecordIndex);
      break;
    case ButtonRequest::kNothing:
      break;
  }
}

void RecordEditor::AskButtonValue(int slot) {
  const DisplayState& state = context_.state;
  const Database& db = context_.db;
  if (state.EditMode != WorkMode::Database || state.CurRecord < 0) return;
  const int action = db.Forms[At(state.CurForm)].ButtonAction[At(slot)];
  const QString value = db.Records[At(state.CurRecord)].ButtonValue[At(slot)];
  const ValueQuestion question = ButtonValueQuestion(action);
  const LanguageTexts& texts = context_.texts;
  QString answer;
  if (question.kind == ValueQuestion::kTypedValue) {
    answer = context_.services.AskText(
        texts.Get(question.prompt), value, false,
        question.browse ? texts.Get(editor_texts::kAnyFileFilter) : QString());
  } else if (question.kind == ValueQuestion::kChosenFile) {
    const bool media = action == kPlayMedia;
    const QString file = context_.dialogs.OpenFileName(
        &context_.services.DialogParent(),
        texts.Get(media ? editor_texts::kChooseMediaTitle : editor_texts::kChooseFileTitle),
        media ? texts.Get(editor_texts::kMediaFilter) : texts.Get(editor_texts::kAnyFileFilter),
        FileDialogStart(db.DatabasePath));
    answer = file.isEmpty() ? value : MakeRelativePath(file, db.DatabasePath);
  }
  if (question.kind == ValueQuestion::kNoQuestion ||
      !ChangeShownRecord(editor_texts::kButtonValueStep,
                         [&](RecordData& record) { record.ButtonValue[At(slot)] = answer; }))
    return;
  ShowRecordAgain();
}

void RecordEditor::OpenInDesktop(const QUrl& url, const QString& what) {
  if (!context_.dialogs.OpenUrl(url)) SayInStatusBar(editor_texts::kNoProgramOpened, what);
}

void RecordEditor::SayInStatusBar(TextId text, const QString& what) {
  context_.services.ShowStatusMessage(context_.texts.Get(text).arg(what), kStatusSeconds);
}

// Media.

void RecordEditor::ShowMediaButtons(bool show) {
  MainCommands& commands = context_.commands;
  for (const char* key : {"mciSeparator", "mciPlay", "mciPause", "mciStop"})
    commands.Tool(kMainBar, key)->setVisible(show);
  if (!show) return;
  const QString file = FileNamePart(context_.dialogs.Media().FilePath());
  for (const auto& [key, text] :
       {std::pair{"mciPlay", editor_texts::kPlay}, std::pair{"mciStop", editor_texts::kStop}}) {
    commands.Tool(kMainBar, key)
        ->setToolTip(context_.texts.Get(text) + QStringLiteral(" (") + file + u')');
  }
}

void RecordEditor::CloseMedia() {
  context_.dialogs.Media().Close();
  UpdateMediaStatus();
}

void RecordEditor::UpdateMediaStatus() {
  const MediaPlayer& media = context_.dialogs.Media();
  const MediaPlayer::Mode mode = media.CurrentMode();
  QLabel& panel = context_.services.StatusPanel("mci");
  ShowMediaButtons(mode != MediaPlayer::kNotOpen);
  panel.setVisible(mode != MediaPlayer::kNotOpen);
  if (mode == MediaPlayer::kStopped) {
    panel.setText(context_.texts.Get(editor_texts::kStopped));
  } else if (mode == MediaPlayer::kPlaying || mode == MediaPlayer::kPaused) {
    QString name = FileNamePart(media.FilePath());
    if (name.size() > kLongestMediaName)
      name = name.left(kLongestMediaName - 2) + QStringLiteral("..");
    panel.setText(
        QStringLiteral("%1 %2 - %3%")
            .arg(context_.texts.Get(mode == MediaPlayer::kPlaying ? editor_texts::kPlaying
                                                                  : editor_texts::kPaused),
                 name, QString::number(media.Percent())));
  }
}

// Mouse, keys and focus on the controls.

bool RecordEditor::eventFilter(QObject* watched, QEvent* event) {
  DisplayState& state = context_.state;
  if (watched == &canvas_.QuickList()) {
    if (event->type() == QEvent::FocusOut) canvas_.QuickList().hide();
    return false;
  }
  if (watched == &canvas_.FormArea()) {
    if (event->type() == QEvent::MouseButtonPress && state.EditMode == WorkMode::Database &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
      state.SelType = kSelectForm;
      recordMenu_->popup(QCursor::pos());
      return true;
    }
    return false;
  }
  const QVariant type = watched->property(kTypeProperty);
  if (!type.isValid() || state.EditMode != WorkMode::Database) return false;
  const int slot = watched->property(kSlotProperty).toInt();
  if ((type.toInt() == kText || type.toInt() == kMultiline) && IsUndoOrRedoKey(event)) {
    // Not taken as the box's shortcut: the window's Undo or Redo runs; a
    // key press left over (nothing to take back) does nothing.
    event->ignore();
    return true;
  }
  switch (type.toInt()) {
    case kImage:
      return ImageEvent(slot, event);
    case kButton:
      return ButtonEvent(slot, event);
    case kText:
      return TextEvent(slot, static_cast<QLineEdit*>(watched), event);
    default:
      return false;
  }
}

bool RecordEditor::ImageEvent(int slot, QEvent* event) {
  DisplayState& state = context_.state;
  if (event->type() == QEvent::MouseButtonPress) {
    state.SelType = kImage;
    state.SelIndex = slot;
    if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
      recordMenu_->popup(QCursor::pos());
    return true;
  }
  if (event->type() == QEvent::FocusIn) {
    state.SelType = kImage;
    state.SelIndex = slot;
    return false;
  }
  if (event->type() == QEvent::KeyPress) return ImageKey(slot, static_cast<QKeyEvent*>(event));
  if (event->type() != QEvent::MouseButtonDblClick) return false;
  state.SelType = kImage;
  state.SelIndex = slot;
  const int command = context_.db.Forms[At(state.CurForm)].DblClickAction[At(slot)];
  context_.funnel.Run([this, command] {
    if (command == kChangePicture) {
      ChangePicture();
    } else if (command == kFullSize || command == kEditPicture) {
      OpenPicture();
    }
  });
  return true;
}

// Return or Space chooses another picture; the menu key offers the
// picture's menu where the picture is.
bool RecordEditor::ImageKey(int slot, QKeyEvent* key) {
  DisplayState& state = context_.state;
  const bool choose =
      key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space;
  if ((!choose && key->key() != Qt::Key_Menu) || key->modifiers() & ~Qt::KeypadModifier)
    return false;
  state.SelType = kImage;
  state.SelIndex = slot;
  if (choose) {
    context_.funnel.Run([this] { ChangePicture(); });
  } else {
    const QWidget* picture = canvas_.Control(kImage, slot);
    recordMenu_->popup(picture->mapToGlobal(picture->rect().center()));
  }
  return true;
}

bool RecordEditor::ButtonEvent(int slot, QEvent* event) {
  const DisplayState& state = context_.state;
  if (event->type() != QEvent::MouseButtonPress || state.CurRecord < 0) return false;
  const auto* mouse = static_cast<QMouseEvent*>(event);
  const int action = context_.db.Forms[At(state.CurForm)].ButtonAction[At(slot)];
  const bool empty = context_.db.Records[At(state.CurRecord)].ButtonValue[At(slot)].isEmpty();
  // The right button always sets the value; the left one when there is none yet.
  if (mouse->button() != Qt::RightButton && !(ActionTakesValue(action) && empty)) return false;
  context_.funnel.Run([this, slot] { AskButtonValue(slot); });
  return true;
}

bool RecordEditor::TextEvent(int slot, QLineEdit* text, QEvent* event) {
  const DisplayState& state = context_.state;
  switch (event->type()) {
    case QEvent::FocusIn:
      OfferQuickList(slot, text);
      return false;
    case QEvent::FocusOut:
      if (!canvas_.QuickList().isVisible()) canvas_.QuickListButton().hide();
      return false;
    case QEvent::MouseButtonDblClick:
      // A password field's value goes to the clipboard, never to the screen.
      if (context_.db.Forms[At(state.CurForm)].PasswordField[At(slot)] != 0 &&
          state.CurRecord >= 0) {
        QApplication::clipboard()->setText(
            context_.db.Records[At(state.CurRecord)].TextValue[At(slot)]);
        return true;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace orbo
