#include "forms/editor/record_editor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include "app/app.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
#include "forms/editor/button_request.h"
#include "shell/folder_tree.h"
#include "shell/navigator.h"
#include "storage/data_path.h"
#include "storage/element_text.h"
#include "storage/element_values.h"
#include "storage/navigation_logic.h"

namespace orbo {
namespace {

constexpr int kRecordMenuTexts = 959;
constexpr int kDialogTitles = 960;
constexpr int kAnyFileFilter = 596;
constexpr int kMediaButtonTexts = 80;
constexpr int kMediaStateTexts = 110;
constexpr int kOpenFailedTexts = 965;
constexpr int kStatusSeconds = 8;
// A media file name longer than this is cut in the status panel.
constexpr int kLongestMediaName = 15;
// Picture dialog title and filter, media dialog title and filter, file title.
constexpr int kPictureTitle = 3;
constexpr int kMediaTitle = 4;
constexpr int kFileTitle = 5;
constexpr int kPictureFilter = 9;
constexpr int kMediaFilter = 10;

constexpr const char* kTypeProperty = "elementType";
constexpr const char* kSlotProperty = "elementSlot";

std::size_t At(int i) { return static_cast<std::size_t>(i); }

// The menu entries of the picture commands, by double-click action.
enum PictureCommand { kChangePicture = 0, kFullSize = 1, kEditPicture = 2 };

}  // namespace

RecordEditor::RecordEditor(App& app, FormCanvas& canvas)
    : QObject(&canvas.MainPic()),
      app_(app),
      canvas_(canvas),
      recordMenu_(new QMenu(&canvas.MainPic())) {
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
    connect(action, &QAction::triggered, this, app_.Funnel().Gated(command));
  }
  // Captions in the language loaded when the menu opens.
  connect(recordMenu_, &QMenu::aboutToShow, this, [this] {
    recordMenu_->setTitle(app_.texts.Get(kRecordMenuTexts, 0));
    const QList<QAction*> actions = recordMenu_->actions();
    for (int i = 0; i < actions.size(); ++i) {
      actions[i]->setText(app_.texts.Get(kRecordMenuTexts, i + 1));
      actions[i]->setEnabled(app_.state.SelType == kImage);
    }
  });
  canvas_.MainPic().installEventFilter(this);
  connect(&canvas_.QuickPic(), &QToolButton::pressed, this, [this] { OpenQuickList(); });
  canvas_.QuickPic().setFocusPolicy(Qt::NoFocus);
  connect(&canvas_.QuickList(), &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { TakeQuickValue(item->text()); });
  canvas_.QuickList().installEventFilter(this);

  MainCommands& commands = app_.Window().Commands();
  commands.OnTriggered(commands.Tool(kMainBar, "mciPlay"),
                       [this] { app_.Seams().Media().Resume(); });
  commands.OnTriggered(commands.Tool(kMainBar, "mciPause"),
                       [this] { app_.Seams().Media().Pause(); });
  commands.OnTriggered(commands.Tool(kMainBar, "mciStop"), [this] { app_.Seams().Media().Stop(); });
}

RecordEditor::~RecordEditor() = default;

bool RecordEditor::Editing() const {
  const DisplayState& state = app_.state;
  return !state.EventsSuppressed && state.EditMode == 0 && state.CurRecord >= 0 &&
         state.CurForm >= 0;
}

void RecordEditor::Listen(int type, int slot, QWidget* control) {
  control->setProperty(kTypeProperty, type);
  control->setProperty(kSlotProperty, slot);
  control->installEventFilter(this);
  switch (type) {
    case kText:
      connect(static_cast<QLineEdit*>(control), &QLineEdit::textChanged, this,
              [this, slot](const QString& text) {
                Store(kText, slot, [&](RecordData& record) { record.TextValue[At(slot)] = text; });
              });
      break;
    case kMultiline: {
      auto* memo = static_cast<QTextEdit*>(control);
      connect(memo, &QTextEdit::textChanged, this, [this, slot, memo] { StoreMemo(slot, memo); });
      break;
    }
    case kCombo:
      connect(static_cast<QComboBox*>(control), &QComboBox::currentIndexChanged, this,
              [this, slot](int index) {
                Store(kCombo, slot, [&](RecordData& record) {
                  record.ComboValue[At(slot)] = static_cast<std::int16_t>(index);
                });
              });
      break;
    case kFlag: {
      auto* flag = static_cast<QCheckBox*>(control);
      connect(flag, &QCheckBox::clicked, this, [this, slot, flag](bool checked) {
        if (app_.state.EditMode == 1) {
          // A flag is no value while forms are designed.
          SuppressEvents suppressed(app_.state);
          flag->setChecked(false);
          return;
        }
        Store(kFlag, slot, [&](RecordData& record) { record.FlagValue[At(slot)] = checked; });
      });
      break;
    }
    case kButton:
      connect(static_cast<QPushButton*>(control), &QPushButton::clicked, this, [this, slot] {
        if (app_.state.EditMode == 0) app_.Funnel().Run([this, slot] { ClickButton(slot); });
      });
      break;
    default:
      break;
  }
}

void RecordEditor::Store(int type, int slot, const std::function<void(RecordData&)>& store) {
  if (!Editing()) return;
  const bool stored = app_.Funnel().Run([&] {
    store(app_.db.Records[At(app_.state.CurRecord)]);
    RecordFieldChanged(type, slot);
    app_.SetModified(true);
  });
  // The value belongs to no record while another command changes them; the
  // controls show the record again once that command is done.
  if (!stored) QTimer::singleShot(0, this, [this] { ShowRecordAgain(); });
}

void RecordEditor::RecordFieldChanged(int type, int slot) {
  const DisplayState& state = app_.state;
  if (state.EventsSuppressed || state.EditMode != 0 || state.CurRecord < 0) return;
  if (type != -1 && app_.db.Forms[At(state.CurForm)].TitleElement != type * 1000 + slot) return;
  app_.Tree().UpdateRecordText(app_.db, state.CurRecord);
  app_.UpdateTitle();
}

void RecordEditor::StoreMemo(int slot, QTextEdit* memo) {
  if (!Editing()) return;
  const QString text = StoredLines(memo->toPlainText());
  Store(kMultiline, slot, [&](RecordData& record) { record.MemoValue[At(slot)] = text; });
}

void RecordEditor::ShowRecordAgain() {
  if (app_.state.CurRecord >= 0) canvas_.FillRecordValues(app_.state.CurRecord);
}

// The quick list.

void RecordEditor::OfferQuickList(int slot, QLineEdit* text) {
  if (app_.state.EditMode != 0 || app_.state.CurForm < 0 || canvas_.QuickList().isVisible()) return;
  if (app_.db.Forms[At(app_.state.CurForm)].QuickEnter[At(slot)] != 1) return;
  quickSlot_ = slot;
  QToolButton& button = canvas_.QuickPic();
  button.setGeometry(text->x() + text->width(), text->y(), text->height(), text->height());
  button.show();
  button.raise();
}

void RecordEditor::OpenQuickList() {
  if (quickSlot_ < 0 || !Editing()) return;
  auto* text = static_cast<QLineEdit*>(canvas_.Control(kText, quickSlot_));
  QListWidget& list = canvas_.QuickList();
  list.clear();
  list.addItems(QuickListValues(app_.db, app_.state.CurRecord, app_.state.CurForm, quickSlot_));
  const QPoint canvasAt = canvas_.MainPic().pos();
  list.setGeometry(canvasAt.x() + text->x(), canvasAt.y() + text->y() + text->height(),
                   text->width(), std::max(text->height() * 6, 60));
  list.setPalette(text->palette());
  list.show();
  list.raise();
  list.setFocus();
}

void RecordEditor::TakeQuickValue(const QString& value) {
  if (quickSlot_ < 0) return;
  auto* text = static_cast<QLineEdit*>(canvas_.Control(kText, quickSlot_));
  canvas_.QuickList().hide();
  text->setText(value);
  text->setFocus();
}

// Pictures.

void RecordEditor::ChangePicture() {
  const DisplayState& state = app_.state;
  if (state.EditMode != 0 || state.CurRecord < 0 || state.SelType != kImage) return;
  const LanguageTexts& texts = app_.texts;
  const QString file =
      app_.Seams().OpenFileName(&app_.Window(), texts.Get(kDialogTitles, kPictureTitle),
                                texts.Get(kDialogTitles, kPictureFilter), QString());
  if (file.isEmpty()) return;
  const int slot = state.SelIndex;
  app_.db.Records[At(state.CurRecord)].ImageValue[At(slot)] =
      MakeRelativePath(file, app_.db.DatabasePath);
  ShowRecordAgain();
  RecordFieldChanged(kImage, slot);
  app_.SetModified(true);
}

void RecordEditor::OpenPicture() {
  const DisplayState& state = app_.state;
  if (state.EditMode != 0 || state.CurRecord < 0 || state.SelType != kImage) return;
  // A picture opens as a button opens a file.
  const QString stored = app_.db.Records[At(state.CurRecord)].ImageValue[At(state.SelIndex)];
  const ButtonRequest request = ButtonClickRequest(kOpenFile, stored, app_.db.DatabasePath);
  if (request.kind == ButtonRequest::kOpen) {
    OpenInDesktop(request.url, stored);
  } else {
    SayInStatusBar(0, stored);
  }
}

// Buttons.

void RecordEditor::ClickButton(int slot) {
  const DisplayState& state = app_.state;
  if (state.EditMode != 0 || state.CurRecord < 0) return;
  const int action = app_.db.Forms[At(state.CurForm)].ButtonAction[At(slot)];
  const QString value = app_.db.Records[At(state.CurRecord)].ButtonValue[At(slot)];
  const ButtonRequest request = ButtonClickRequest(action, value, app_.db.DatabasePath);
  switch (request.kind) {
    case ButtonRequest::kOpen:
      OpenInDesktop(request.url, value);
      break;
    case ButtonRequest::kPlay:
      app_.Seams().Media().Play(request.file);
      ShowMediaButtons(true);
      break;
    case ButtonRequest::kRefused:
      SayInStatusBar(action == kSendMail ? 1 : 0, value);
      break;
    case ButtonRequest::kAddRecord:
      app_.Navigation().AddRecord(state.CurFolder, -1, false);
      break;
    case ButtonRequest::kDeleteRecord:
      app_.Navigation().DeleteCurrentRecord();
      break;
    case ButtonRequest::kNextRecord:
      app_.Navigation().Step(NextRecordIndex);
      break;
    case ButtonRequest::kPreviousRecord:
      app_.Navigation().Step(PrevRecordIndex);
      break;
    case ButtonRequest::kNothing:
      break;
  }
}

void RecordEditor::AskButtonValue(int slot) {
  const DisplayState& state = app_.state;
  if (state.EditMode != 0 || state.CurRecord < 0) return;
  const int action = app_.db.Forms[At(state.CurForm)].ButtonAction[At(slot)];
  QString& value = app_.db.Records[At(state.CurRecord)].ButtonValue[At(slot)];
  const ValueQuestion question = ButtonValueQuestion(action);
  const LanguageTexts& texts = app_.texts;
  QString answer;
  if (question.kind == ValueQuestion::kText) {
    answer = app_.AskText(texts.Get(question.prompt, 0), value, false,
                          question.browse ? texts.Get(kAnyFileFilter, 0) : QString());
  } else if (question.kind == ValueQuestion::kFile) {
    const bool media = action == kPlayMedia;
    const QString file = app_.Seams().OpenFileName(
        &app_.Window(), texts.Get(kDialogTitles, media ? kMediaTitle : kFileTitle),
        media ? texts.Get(kDialogTitles, kMediaFilter) : texts.Get(kAnyFileFilter, 0), QString());
    answer = file.isEmpty() ? value : MakeRelativePath(file, app_.db.DatabasePath);
  }
  if (question.kind == ValueQuestion::kNone || answer == value) return;
  value = answer;
  ShowRecordAgain();
  RecordFieldChanged(kButton, slot);
  app_.SetModified(true);
}

void RecordEditor::OpenInDesktop(const QUrl& url, const QString& what) {
  if (!app_.Seams().OpenUrl(url)) SayInStatusBar(2, what);
}

void RecordEditor::SayInStatusBar(int entry, const QString& what) {
  app_.Window().statusBar()->showMessage(app_.texts.Get(kOpenFailedTexts, entry).arg(what),
                                         kStatusSeconds * 1000);
}

// Media.

void RecordEditor::ShowMediaButtons(bool show) {
  MainCommands& commands = app_.Window().Commands();
  for (const char* key : {"mciSeparator", "mciPlay", "mciPause", "mciStop"})
    commands.Tool(kMainBar, key)->setVisible(show);
  if (!show) return;
  const QString file = FileNamePart(app_.Seams().Media().FilePath());
  for (const auto& [key, entry] : {std::pair{"mciPlay", 0}, std::pair{"mciStop", 2}}) {
    commands.Tool(kMainBar, key)
        ->setToolTip(app_.texts.Get(kMediaButtonTexts, entry) + QStringLiteral(" (") + file + u')');
  }
}

void RecordEditor::CloseMedia() {
  app_.Seams().Media().Close();
  UpdateMediaStatus();
}

void RecordEditor::UpdateMediaStatus() {
  const MediaPlayer& media = app_.Seams().Media();
  const MediaPlayer::Mode mode = media.CurrentMode();
  QLabel& panel = app_.Window().StatusPanel("mci");
  ShowMediaButtons(mode != MediaPlayer::kNotOpen);
  panel.setVisible(mode != MediaPlayer::kNotOpen);
  if (mode == MediaPlayer::kStopped) {
    panel.setText(app_.texts.Get(kMediaStateTexts, 2));
  } else if (mode == MediaPlayer::kPlaying || mode == MediaPlayer::kPaused) {
    QString name = FileNamePart(media.FilePath());
    if (name.size() > kLongestMediaName)
      name = name.left(kLongestMediaName - 2) + QStringLiteral("..");
    panel.setText(QStringLiteral("%1 %2 - %3%")
                      .arg(app_.texts.Get(kMediaStateTexts, mode == MediaPlayer::kPlaying ? 0 : 1),
                           name, QString::number(media.Percent())));
  }
}

// Mouse, keys and focus on the controls.

bool RecordEditor::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &canvas_.QuickList()) {
    if (event->type() == QEvent::FocusOut) canvas_.QuickList().hide();
    return false;
  }
  if (watched == &canvas_.MainPic()) {
    if (event->type() == QEvent::MouseButtonPress && app_.state.EditMode == 0 &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
      app_.state.SelType = -1;
      recordMenu_->popup(QCursor::pos());
      return true;
    }
    return false;
  }
  const QVariant type = watched->property(kTypeProperty);
  if (!type.isValid() || app_.state.EditMode != 0) return false;
  const int slot = watched->property(kSlotProperty).toInt();
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
  if (event->type() == QEvent::MouseButtonPress) {
    app_.state.SelType = kImage;
    app_.state.SelIndex = slot;
    if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
      recordMenu_->popup(QCursor::pos());
    return true;
  }
  if (event->type() != QEvent::MouseButtonDblClick) return false;
  app_.state.SelType = kImage;
  app_.state.SelIndex = slot;
  const int command = app_.db.Forms[At(app_.state.CurForm)].DblClickAction[At(slot)];
  app_.Funnel().Run([this, command] {
    if (command == kChangePicture) {
      ChangePicture();
    } else if (command == kFullSize || command == kEditPicture) {
      OpenPicture();
    }
  });
  return true;
}

bool RecordEditor::ButtonEvent(int slot, QEvent* event) {
  if (event->type() != QEvent::MouseButtonPress || app_.state.CurRecord < 0) return false;
  const auto* mouse = static_cast<QMouseEvent*>(event);
  const int action = app_.db.Forms[At(app_.state.CurForm)].ButtonAction[At(slot)];
  const bool empty = app_.db.Records[At(app_.state.CurRecord)].ButtonValue[At(slot)].isEmpty();
  // The right button always sets the value; the left one when there is none yet.
  if (mouse->button() != Qt::RightButton && !(ActionTakesValue(action) && empty)) return false;
  app_.Funnel().Run([this, slot] { AskButtonValue(slot); });
  return true;
}

bool RecordEditor::TextEvent(int slot, QLineEdit* text, QEvent* event) {
  switch (event->type()) {
    case QEvent::FocusIn:
      OfferQuickList(slot, text);
      return false;
    case QEvent::FocusOut:
      if (!canvas_.QuickList().isVisible()) canvas_.QuickPic().hide();
      return false;
    case QEvent::MouseButtonDblClick:
      // A password field's value goes to the clipboard, never to the screen.
      if (app_.db.Forms[At(app_.state.CurForm)].PasswordField[At(slot)] != 0 &&
          app_.state.CurRecord >= 0) {
        QApplication::clipboard()->setText(
            app_.db.Records[At(app_.state.CurRecord)].TextValue[At(slot)]);
        return true;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace orbo
