#include "query/find/finder.h"

#include <QAction>
#include <QScreen>
#include <QTextEdit>

#include "app/app.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
#include "query/find/find_dialog.h"
#include "query/find/finder_placement.h"
#include "shell/main_commands.h"
#include "shell/navigator.h"
#include "storage/record_title.h"

namespace orbo {
namespace {

// The result log stops growing here; searching goes on.
constexpr int kLogLimit = 1000;

}  // namespace

Finder::Finder(App& app) : app_(app) {
  MainCommands& c = app_.Window().Commands();
  c.OnTriggered(c.Menu("mnuFind"), [this] { Open(); });
  c.OnTriggered(c.Tool(kMainBar, "find"), [this] { Open(); });
  c.OnTriggered(c.Menu("mnuFindNext"), [this] { FindNext(); });
}

Finder::~Finder() = default;

FindDialog& Finder::Dialog() {
  if (!dialog_) {
    dialog_ = std::make_unique<FindDialog>(app_, &app_.Window());
    // The dialog's buttons act inside the command that opened it.
    QObject::connect(dialog_.get(), &FindDialog::findRequested, dialog_.get(),
                     [this] { FindNext(); });
    QObject::connect(dialog_.get(), &FindDialog::markRequested, dialog_.get(),
                     [this] { MarkShown(); });
    QObject::connect(dialog_.get(), &FindDialog::helpRequested, dialog_.get(),
                     [this] { app_.ShowHelp(17); });
  }
  return *dialog_;
}

void Finder::Open() {
  Dialog().Prepare();
  app_.Seams().RunModal(Dialog());
}

void Finder::ResetLists() {
  if (dialog_) dialog_->ResetLists();
}

void Finder::FindNext() {
  const FindSettings settings = Dialog().Settings();
  if (settings.text.isEmpty()) return;
  Search(app_.state.CurRecord + (settings.direction < 0 ? -1 : 1));
}

void Finder::Search(int start) {
  const FindSettings settings = Dialog().Settings();
  if (settings.text.isEmpty()) return;
  log_ = app_.texts.Get(464, 2) + u' ';
  const std::optional<FindHit> hit = SearchRecords(app_.db, settings, start);
  if (hit) {
    Log(*hit);
  } else {
    log_ += app_.texts.Get(464, 7);
  }
  Dialog().ResultText().setPlainText(
      QString(log_).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  if (hit) {
    app_.Navigation().ShowRecord(hit->record);
    KeepRecordInSight();
    return;
  }
  const int count = app_.db.RecordCount;
  const bool down = settings.direction > 0;
  if ((down && start == 0) || (!down && start == count - 1) || count < 2) {
    app_.ShowMessage(app_.texts.Get(770, 0), kOkOnly);
    return;
  }
  if (app_.ShowMessage(app_.texts.Get(780, 0), kYesNo) == kAnswerYes) Search(down ? 0 : count - 1);
}

void Finder::KeepRecordInSight() {
  FindDialog& dialog = Dialog();
  if (!dialog.isVisible() || !dialog.screen()) return;
  const QRect record = app_.Canvas().ShownArea();
  if (record.isEmpty()) return;
  const QRect frame = dialog.frameGeometry();
  dialog.move(
      PlaceBeside(record, frame.size(), dialog.screen()->availableGeometry(), frame.topLeft()));
}

void Finder::Log(const FindHit& hit) {
  if (log_.size() >= kLogLimit) return;
  const Database& db = app_.db;
  const RecordData& record = db.Records[hit.record];
  const QString value = FindFieldValue(db, hit.record, hit.elementType, hit.slot);
  const LanguageTexts& t = app_.texts;
  log_ += QStringLiteral("\r\n") + t.Get(464, 3) + RecordTitleLine(db, hit.record) + t.Get(464, 4) +
          db.Forms[record.Form].Elements[hit.elementType][hit.slot].Name + t.Get(464, 5) +
          QStringLiteral(" ..") + HitContext(value, hit.position) + QStringLiteral("..");
}

void Finder::MarkShown() {
  const int record = app_.state.CurRecord;
  if (record < 0) return;
  app_.db.RecordMarks[record] = true;
  app_.Navigation().ShowMark(record);
}

}  // namespace orbo
