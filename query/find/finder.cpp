#include "query/find/finder.h"

#include <QAction>
#include <QScreen>
#include <QTextEdit>

#include "query/find/find_dialog.h"
#include "query/find/find_texts.h"
#include "query/find/finder_placement.h"
#include "shell/help_pages.h"
#include "shell/navigator.h"
#include "shell/record_surface.h"
#include "shell/window_context.h"
#include "storage/record_title.h"

namespace orbo {
namespace {

// The result log stops growing here; searching goes on.
constexpr int kLogLimit = 1000;

}  // namespace

Finder::Finder(WindowContext& context, Navigator& navigator, RecordSurface& surface)
    : context_(context), navigator_(navigator), surface_(surface) {
  MainCommands& c = context_.commands;
  c.OnTriggered(c.Menu("mnuFind"), [this] { Open(); });
  c.OnTriggered(c.Menu("mnuFindNext"), [this] { FindNext(); });
  QObject::connect(&context_.events, &WindowEvents::formsChanged, &context_.events,
                   [this] { ResetLists(); });
  QObject::connect(&context_.events, &WindowEvents::modeChanged, &context_.events,
                   [this](WorkMode mode) {
                     if (mode == WorkMode::Database) ResetLists();
                   });
  // Undo and redo may take forms back in database mode too.
  QObject::connect(&context_.funnel, &CommandFunnel::modelChanged, &context_.events,
                   [this](const ChangedParts& parts, bool undoOrRedo) {
                     if (undoOrRedo && parts.forms) ResetLists();
                   });
}

Finder::~Finder() = default;

FindDialog& Finder::Dialog() {
  if (!dialog_) {
    dialog_ = std::make_unique<FindDialog>(context_, &context_.services.DialogParent());
    // The dialog's buttons act inside the command that opened it.
    QObject::connect(dialog_.get(), &FindDialog::findRequested, dialog_.get(),
                     [this] { FindNext(); });
    QObject::connect(dialog_.get(), &FindDialog::markRequested, dialog_.get(),
                     [this] { MarkShown(); });
    QObject::connect(dialog_.get(), &FindDialog::helpRequested, dialog_.get(),
                     [this] { context_.services.ShowHelp(help_topics::kFind); });
  }
  return *dialog_;
}

void Finder::Open() {
  Dialog().Prepare();
  context_.dialogs.RunModal(Dialog());
}

void Finder::ResetLists() {
  if (dialog_) dialog_->ResetLists();
}

void Finder::FindNext() {
  const FindSettings settings = Dialog().Settings();
  if (settings.text.isEmpty()) return;
  Search(context_.state.CurRecord + (settings.direction < 0 ? -1 : 1));
}

void Finder::Search(int start) {
  const FindSettings settings = Dialog().Settings();
  if (settings.text.isEmpty()) return;
  const LanguageTexts& t = context_.texts;
  log_ = t.Get(find_texts::kSearchResults) + u' ';
  const std::optional<FindHit> hit = SearchRecords(context_.db, settings, start);
  if (hit) {
    Log(*hit);
  } else {
    log_ += t.Get(find_texts::kNothingFound);
  }
  Dialog().ResultText().setPlainText(
      QString(log_).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  if (hit) {
    navigator_.ShowRecord(hit->record);
    surface_.ShowFound(hit->elementType, hit->slot, hit->position, int(settings.text.size()));
    KeepRecordInSight();
    return;
  }
  const int count = context_.db.RecordCount;
  const bool down = settings.direction > 0;
  if ((down && start == 0) || (!down && start == count - 1) || count < 2) {
    context_.services.ShowMessage(t.Get(find_texts::kTextNotFound), kOkOnly);
    return;
  }
  if (context_.services.ShowMessage(t.Get(find_texts::kAskContinueAtOtherEnd), kYesNo) ==
      kAnswerYes)
    Search(down ? 0 : count - 1);
}

void Finder::KeepRecordInSight() {
  FindDialog& dialog = Dialog();
  if (!dialog.isVisible() || !dialog.screen()) return;
  const QRect record = surface_.ShownArea();
  if (record.isEmpty()) return;
  const QRect frame = dialog.frameGeometry();
  dialog.move(
      PlaceBeside(record, frame.size(), dialog.screen()->availableGeometry(), frame.topLeft()));
}

void Finder::Log(const FindHit& hit) {
  if (log_.size() >= kLogLimit) return;
  const Database& db = context_.db;
  const RecordData& record = db.Records[hit.record];
  const QString value = FindFieldValue(db, hit.record, hit.elementType, hit.slot);
  const LanguageTexts& t = context_.texts;
  log_ += QStringLiteral("\r\n") + t.Get(find_texts::kHitRecordStart) +
          RecordTitleLine(db, hit.record) + t.Get(find_texts::kHitFieldStart) +
          db.Forms[record.Form].Elements[hit.elementType][hit.slot].Name +
          t.Get(find_texts::kHitFieldEnd) + QStringLiteral(" ..") +
          HitContext(value, hit.position) + QStringLiteral("..");
}

void Finder::MarkShown() {
  const int record = context_.state.CurRecord;
  if (record < 0) return;
  // A record marked already is no step.
  context_.funnel.Change(context_.texts.Get(find_texts::kMarkStep), ChangeScope{},
                         [&] { context_.db.RecordMarks[record] = true; });
}

}  // namespace orbo
