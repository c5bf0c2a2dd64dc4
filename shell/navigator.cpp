#include "shell/navigator.h"

#include <QAction>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolButton>
#include <algorithm>
#include <memory>
#include <utility>

#include "shell/deletion_step.h"
#include "shell/folder_chooser.h"
#include "shell/folder_listing.h"
#include "shell/folder_tree_model.h"
#include "shell/folder_tree_view.h"
#include "shell/navigation_texts.h"
#include "shell/node_keys.h"
#include "shell/record_surface.h"
#include "shell/undo_keys.h"
#include "shell/window_context.h"
#include "storage/navigation_logic.h"
#include "storage/record_title.h"

namespace orbo {
namespace {

constexpr const char* kRecordSteps[] = {"dbfirst", "dbprev", "dbnext", "dblast", "tofolder"};
constexpr const char* kRecordMenus[] = {"mnuAddSameRec", "mnuCloneRec", "mnuDelRec", "mnuMarkRec"};

}  // namespace

Navigator::Navigator(WindowContext& context, FolderTreeModel& tree, RecordSurface& surface,
                     NavigationViews views)
    : context_(context),
      db_(context.db),
      state_(context.state),
      tree_(tree),
      surface_(surface),
      views_(std::move(views)),
      listing_(std::make_unique<FolderListing>(
          db_, tree_, views_.contents,
          [&services = context.services](const QString& key) { return services.IconFor(key); })) {
  views_.tree.setModel(&tree_);
  ConnectCommands();
  ConnectViews();
  QObject::connect(
      &context_.funnel, &CommandFunnel::modelChanged, &views_.tree,
      [this](const ChangedParts& parts, bool undoOrRedo) { FollowModel(parts, undoOrRedo); });
}

Navigator::~Navigator() = default;

void Navigator::ConnectCommands() {
  MainCommands& c = context_.commands;
  c.OnTriggered(c.Tool(kMainBar, "addrecord"), [this] { AddRecord(state_.CurFolder, -1, false); });
  // The menu's record takes the shown record's form, so it needs one.
  c.OnTriggered(c.Menu("mnuAddSameRec"), [this] {
    if (state_.CurRecord >= 0) AddRecord(state_.CurFolder, -1, false);
  });
  for (QAction* clone : {c.Menu("mnuCloneRec"), c.Tool(kMainBar, "clonerecord")})
    c.OnTriggered(clone, [this] { CloneRecord(); });
  c.OnTriggered(c.Menu("mnuAddFolder"), [this] { AddFolder(); });
  c.OnTriggered(c.Tool(kMainBar, "del"), [this] { DeleteShown(); });
  c.OnTriggered(c.Menu("mnuDelRec"), [this] { DeleteCurrentRecord(); });
  c.OnTriggered(c.Menu("mnuDelFolder"), [this] { DeleteCurrentFolder(); });
  c.OnTriggered(c.Menu("mnuMarkRec"), [this] {
    if (state_.CurRecord >= 0) ToggleMark(state_.CurRecord);
  });
  c.OnTriggered(c.Menu("mnuMoveTo"), [this] { MoveShownToFolder(); });
  c.OnTriggered(c.Tool(kMainBar, "dbfirst"), [this] { Step(FirstRecordIndex); });
  c.OnTriggered(c.Tool(kMainBar, "dbprev"), [this] { Step(PrevRecordIndex); });
  c.OnTriggered(c.Tool(kMainBar, "dbnext"), [this] { Step(NextRecordIndex); });
  c.OnTriggered(c.Tool(kMainBar, "dblast"), [this] { Step(LastRecordIndex); });
  c.OnTriggered(c.Tool(kMainBar, "tofolder"), [this] {
    if (state_.CurRecord >= 0) ShowFolder(db_.Records[state_.CurRecord].Folder);
  });
}

void Navigator::ConnectViews() {
  FolderTreeView& tree = views_.tree;
  CommandFunnel& funnel = context_.funnel;
  QObject::connect(&tree, &QTreeView::clicked, &tree, [this](const QModelIndex& index) {
    const QString key = FolderTreeModel::KeyOf(index);
    context_.funnel.Run([this, key] {
      // In edit mode the tree stands for the database as a whole.
      if (state_.EditMode == WorkMode::Edit) {
        emit context_.events.databaseChosen(false);
        return;
      }
      OpenNode(key);
    });
  });
  QObject::connect(&tree, &QTreeView::activated, &tree, [this](const QModelIndex& index) {
    const QString key = FolderTreeModel::KeyOf(index);
    context_.funnel.Run([this, key] {
      if (state_.EditMode == WorkMode::Database) OpenNode(key);
    });
  });
  tree.onDrop = [this](const QModelIndex& dragged, const QModelIndex& target) {
    const QString draggedKey = FolderTreeModel::KeyOf(dragged);
    const QString targetKey = FolderTreeModel::KeyOf(target);
    context_.funnel.Run([=, this] { DropNode(draggedKey, targetKey); });
  };
  tree.onRightPress = [this](const QModelIndex& index, const QPoint& at) {
    const NodeKey key = ParseKey(FolderTreeModel::KeyOf(index));
    context_.funnel.Run([this, key] {
      if (state_.EditMode == WorkMode::Edit) {
        // The tree stands for the database: its properties open.
        emit context_.events.databaseChosen(true);
      } else if (key.kind == u"item") {
        ToggleMark(key.index);
      }
    });
    // The quick sorts work on the current folder: the folder pressed on.
    if (key.kind == u"root" && state_.EditMode == WorkMode::Database &&
        context_.funnel.Run([this, key] { ShowFolder(key.index); })) {
      context_.commands.Submenu("mnSort")->popup(at);
    }
  };
  auto* deleteKey =
      new QShortcut(QKeySequence::Delete, &tree, nullptr, nullptr, Qt::WidgetShortcut);
  QObject::connect(deleteKey, &QShortcut::activated, &tree, funnel.Gated([this] {
    if (state_.EditMode == WorkMode::Database) DeleteShown();
  }));
  auto* insertKey =
      new QShortcut(QKeySequence(Qt::Key_Insert), &tree, nullptr, nullptr, Qt::WidgetShortcut);
  QObject::connect(insertKey, &QShortcut::activated, &tree, funnel.Gated([this] {
    if (state_.EditMode == WorkMode::Database) AddRecord(state_.CurFolder, -1, false);
  }));

  QListView& list = views_.contents;
  QObject::connect(&list, &QListView::clicked, &list, [this](const QModelIndex& index) {
    const QString key = index.data(ContentsModel::kKeyRole).toString();
    context_.funnel.Run([this, key] { OpenNode(key); });
  });
  list.setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(
      &list, &QListView::customContextMenuRequested, &list, [this, &list](const QPoint& at) {
        const NodeKey key = ParseKey(list.indexAt(at).data(ContentsModel::kKeyRole).toString());
        if (key.kind == u"item") context_.funnel.Run([this, key] { ToggleMark(key.index); });
      });

  QObject::connect(&views_.folderName, &QLineEdit::textEdited, &views_.folderName,
                   [this](const QString& name) {
                     context_.funnel.Run([this, name] { RenameCurrentFolder(name); });
                   });
  views_.folderName.installEventFilter(new WindowUndoKeys(&views_.folderName));
  const std::pair<const char*, std::function<void()>> rootButtons[] = {
      {"RootImage", [this] { ChooseFolderIcon(); }},
      {"RootUp", [this] { MoveFolderAmongSiblings(true); }},
      {"RootDown", [this] { MoveFolderAmongSiblings(false); }},
      {"RootToRootButt", [this] { MoveFolderToTop(); }},
  };
  for (const auto& [name, command] : rootButtons) {
    QToolButton& button = views_.folderButton(name);
    QObject::connect(&button, &QToolButton::clicked, &button, funnel.Gated(command));
  }
}

void Navigator::RefreshTree() { tree_.Refresh(); }

void Navigator::ExpandFolder(int folder) { views_.tree.expand(tree_.FolderIndex(folder)); }

void Navigator::SetQuickFilter(const QuickFilter& filter) {
  const bool folderShown = state_.CurRecord == -1 && IsFolderIndex(db_, state_.CurFolder);
  listing_->SetFilter(filter, folderShown ? state_.CurFolder : -1);
}

const QuickFilter& Navigator::Filter() const { return listing_->Filter(); }

const ContentsModel& Navigator::Contents() const { return listing_->Contents(); }

void Navigator::SetRecordCommands(bool recordShown) {
  MainCommands& c = context_.commands;
  for (const char* key : kRecordSteps) c.Tool(kMainBar, key)->setEnabled(recordShown);
  for (const char* name : kRecordMenus) c.Menu(name)->setEnabled(recordShown);
  c.Menu("mnuDelFolder")->setEnabled(!recordShown);
  c.Tool(kMainBar, "del")
      ->setToolTip(context_.texts.Get(recordShown ? navigation_texts::kDeleteRecordTooltip
                                                  : navigation_texts::kDeleteFolderTooltip));
}

void Navigator::SelectNode(const QString& key) {
  const QModelIndex node = tree_.IndexOfKey(key);
  if (!node.isValid()) return;
  for (QModelIndex above = node.parent(); above.isValid(); above = above.parent())
    views_.tree.expand(above);
  views_.tree.setCurrentIndex(node);
  views_.tree.scrollTo(node);
}

void Navigator::ShowFolder(int folder) {
  if (folder < 0 || folder >= db_.FolderCount) return;
  SuppressEvents suppressed(state_);
  state_.CurFolder = folder;
  state_.CurRecord = -1;
  SelectNode(FolderKey(folder));
  SetRecordCommands(false);
  views_.showFolderView(true);
  ShowFolderHeader(folder);
  listing_->List(folder);
  context_.services.UpdateTitle();
  context_.services.UpdateStatusBar();
}

void Navigator::ShowFolderHeader(int folder) {
  const FolderDef& def = db_.Folders[folder];
  views_.folderButton("RootImage").setIcon(context_.services.IconFor(def.Icon));
  // The name being typed stays as it is, with its cursor.
  if (views_.folderName.text() != def.Name) views_.folderName.setText(def.Name);
}

void Navigator::FollowModel(const ChangedParts& parts, bool undoOrRedo) {
  std::vector<int> records = parts.recordIndices;
  records.insert(records.end(), parts.markIndices.begin(), parts.markIndices.end());
  // A form's icon and title element show on each of its records.
  if (!parts.formIndices.empty()) {
    std::vector<char> changedForm(static_cast<std::size_t>(std::max<int>(db_.FormCount, 0)), 0);
    for (int form : parts.formIndices)
      if (form >= 0 && form < db_.FormCount) changedForm[static_cast<std::size_t>(form)] = 1;
    for (int r = 0; r < db_.RecordCount; ++r) {
      const int form = db_.Records[r].Form;
      if (form >= 0 && form < db_.FormCount && changedForm[static_cast<std::size_t>(form)])
        records.push_back(r);
    }
  }
  tree_.Follow(records, parts.folderIndices, parts.indicesComplete && !parts.listLength);
  // A list not shown is not kept in step: listed anew when it shows again.
  const bool listed = state_.EditMode == WorkMode::Database && state_.CurRecord == -1 &&
                      listing_->Follow(state_.CurFolder);
  if (!listed) listing_->Clear();
  if (state_.EditMode != WorkMode::Database) return;
  if (undoOrRedo) {
    if (!listed) {
      ShowPlaceAgain();
      return;
    }
    ShowFolderHeader(state_.CurFolder);
    SelectNode(FolderKey(state_.CurFolder));
    return;
  }
  // Forward, a command shows what it goes to itself; a shown record's
  // editors are where its change came from, so they stay as they are.
  if (state_.CurRecord != -1 || !IsFolderIndex(db_, state_.CurFolder)) return;
  ShowFolderHeader(state_.CurFolder);
  if (!listed) listing_->List(state_.CurFolder);
}

void Navigator::ShowPlaceAgain() {
  if (state_.CurRecord >= 0) {
    // Drawn and filled anew, as a record shown for the first time.
    const int record = std::exchange(state_.CurRecord, -1);
    ShowRecord(record);
    if (state_.CurRecord == record) return;
  }
  ShowFolder(IsFolderIndex(db_, state_.CurFolder) ? state_.CurFolder : 0);
}

void Navigator::ShowRecord(int record) {
  // A free slot is no record: it is listed nowhere and never shown.
  if (record < 0 || record >= db_.RecordCount || db_.Records[record].Folder == BufferFolder) return;
  if (state_.CurRecord == -1 || db_.Records[record].Form != state_.CurForm)
    surface_.DrawForm(db_.Records[record].Form);
  SuppressEvents suppressed(state_);
  state_.CurRecord = record;
  state_.CurFolder = db_.Records[record].Folder;
  SelectNode(RecordKey(record));
  views_.showFolderView(false);
  // The list is hidden now: not kept in step, so that a step taken back
  // that returns to the folder shows it anew.
  listing_->Clear();
  SetRecordCommands(true);
  surface_.FillRecordValues(record);
  context_.services.UpdateTitle();
  context_.services.UpdateStatusBar();
}

void Navigator::OpenNode(const QString& key) {
  const NodeKey parsed = ParseKey(key);
  if (parsed.kind == u"item") ShowRecord(parsed.index);
  if (parsed.kind == u"root") ShowFolder(parsed.index);
}

QString Navigator::NodeBeside(const QString& key) const {
  const QModelIndex node = tree_.IndexOfKey(key);
  const QModelIndex below = node.siblingAtRow(node.row() + 1);
  if (below.isValid()) return FolderTreeModel::KeyOf(below);
  const QModelIndex above = node.siblingAtRow(node.row() - 1);
  return FolderTreeModel::KeyOf(above.isValid() ? above : node.parent());
}

void Navigator::Step(int (*next)(const Database&, int, int)) {
  if (state_.CurRecord == -1) return;
  const int target = next(db_, state_.CurRecord, state_.CurFolder);
  if (target >= 0) ShowRecord(target);
}

QString Navigator::StepName(TextId name) const { return context_.texts.Get(name); }

bool Navigator::Change(TextId name, const ChangeScope& scope, const std::function<void()>& change,
                       const QString& mergeKey) {
  return context_.funnel.Change(StepName(name), scope, change, mergeKey);
}

bool Navigator::RoomForNewRecord(int folder) {
  // A free slot that the folder's new record would take holds it even in a
  // full table.
  return RecordLimitAllows(db_.RecordCount < kMaxRecords || ChooseRecordSlot(db_, folder) >= 0);
}

bool Navigator::RoomForMovedRecord() { return RecordLimitAllows(db_.RecordCount < kMaxRecords); }

bool Navigator::RecordLimitAllows(bool room) {
  if (room) return true;
  const LanguageTexts& texts = context_.texts;
  context_.services.ShowMessage(texts.Get(navigation_texts::kRecordLimitStart) +
                                    QString::number(kMaxRecords) +
                                    texts.Get(navigation_texts::kRecordLimitEnd),
                                kOkOnly);
  return false;
}

int Navigator::SlotForRecord(int folder) const {
  const int slot = ChooseRecordSlot(db_, folder);
  return slot < 0 ? db_.RecordCount : slot;
}

void Navigator::InsertRecord(int slot, int folder, int form) {
  if (slot == db_.RecordCount) SetCount(db_, kRecordsKind, static_cast<std::int16_t>(slot + 1));
  NewRecord(db_, slot);
  db_.Records[slot].Folder = static_cast<std::int16_t>(folder);
  db_.Records[slot].Form = static_cast<std::int16_t>(form);
  RecountBuffers(db_);
}

bool Navigator::AddRecord(int folder, int form, bool quiet) {
  if (!RoomForNewRecord(folder)) return false;
  const int chosenForm = form != -1              ? form
                         : state_.CurRecord >= 0 ? db_.Records[state_.CurRecord].Form
                                                 : 0;
  const int slot = SlotForRecord(folder);
  Change(navigation_texts::kAddRecordStep, ChangeScope::Records({slot}),
         [&] { InsertRecord(slot, folder, chosenForm); });
  if (quiet) {
    state_.CurRecord = slot;
  } else {
    ShowRecord(slot);
  }
  return true;
}

void Navigator::CloneRecord() {
  if (state_.CurRecord == -1) {
    context_.services.ShowMessage(context_.texts.Get(navigation_texts::kNoRecordToClone),
                                  kExclamation);
    return;
  }
  if (!RoomForNewRecord(state_.CurFolder)) return;
  const RecordData original = db_.Records[state_.CurRecord];
  const int slot = SlotForRecord(state_.CurFolder);
  Change(navigation_texts::kCloneRecordStep, ChangeScope::Records({slot}), [&] {
    InsertRecord(slot, state_.CurFolder, original.Form);
    db_.Records[slot] = original;
  });
  ShowRecord(slot);
}

void Navigator::DeleteCurrentRecord() {
  const int record = state_.CurRecord;
  if (record == -1) return;
  if (db_.RecordCount == 1) {
    context_.services.ShowMessage(context_.texts.Get(navigation_texts::kOnlyRecordNotDeleted),
                                  kExclamation);
    return;
  }
  auto step = std::make_unique<DeletionStep>(StepName(navigation_texts::kDeleteRecordStep), db_,
                                             state_, context_.funnel.Place());
  // The node beside the record's in the tree opens next, as choosing it
  // after the removal would.
  const NodeKey beside = ParseKey(NodeBeside(RecordKey(record)));
  const std::vector<RecordDeletion> deletions = step->DeleteRecords({record});
  step->Finish();
  context_.funnel.Push(std::move(step));
  state_.CurRecord = -1;
  const int besideNow = beside.kind == u"item" ? IndexAfterDeletions(deletions, beside.index) : -1;
  if (besideNow >= 0) {
    ShowRecord(besideNow);
  } else {
    ShowFolder(beside.kind == u"root" ? beside.index : state_.CurFolder);
  }
}

void Navigator::AddFolder() {
  if (db_.FolderCount >= kMaxFolders) {
    const LanguageTexts& texts = context_.texts;
    context_.services.ShowMessage(texts.Get(navigation_texts::kFolderLimitStart) +
                                      QString::number(kMaxFolders) +
                                      texts.Get(navigation_texts::kFolderLimitEnd),
                                  kOkOnly);
    return;
  }
  const int folder = db_.FolderCount;
  Change(navigation_texts::kAddFolderStep, ChangeScope::Folders({folder}), [&] {
    SetCount(db_, kFoldersKind, static_cast<std::int16_t>(folder + 1));
    NewFolder(db_, folder);
    db_.Folders[folder].Parent = static_cast<std::int16_t>(
        state_.CurRecord >= 0 ? state_.CurFolder : db_.Folders[state_.CurFolder].Parent);
  });
  ShowFolder(folder);
}

bool Navigator::DeleteFolder(DeletionStep& step, int folder) {
  const LanguageTexts& texts = context_.texts;
  if (HasSubfolders(db_, folder)) {
    context_.services.ShowMessage(texts.Get(navigation_texts::kFolderHasSubfolders), kExclamation);
    return false;
  }
  std::vector<int> records = RecordsOf(db_, folder);
  if (!records.empty() &&
      context_.services.ShowMessage(texts.Get(navigation_texts::kAskDeleteFolderStart) +
                                        db_.Folders[folder].Name +
                                        texts.Get(navigation_texts::kAskDeleteFolderEnd),
                                    kYesNo) != kAnswerYes) {
    return false;
  }
  step.DeleteRecords(std::move(records));
  step.RemoveFolder(folder);
  return true;
}

void Navigator::DeleteCurrentFolder() {
  if (state_.CurRecord != -1) return;
  if (db_.FolderCount == 1) {
    context_.services.ShowMessage(context_.texts.Get(navigation_texts::kOnlyFolderNotDeleted),
                                  kExclamation);
    return;
  }
  const int folder = state_.CurFolder;
  auto step = std::make_unique<DeletionStep>(
      StepName(navigation_texts::kDeleteFolderStep).arg(db_.Folders[folder].Name), db_, state_,
      context_.funnel.Place());
  // The parent shows next; the folders after the deleted one move down.
  const int parent = db_.Folders[folder].Parent;
  if (!DeleteFolder(*step, folder)) return;
  step->Finish();
  context_.funnel.Push(std::move(step));
  state_.CurFolder = parent == TopLevelParent ? 0 : parent > folder ? parent - 1 : parent;
  ShowFolder(state_.CurFolder);
}

void Navigator::DeleteShown() {
  if (state_.CurRecord == -1) {
    DeleteCurrentFolder();
  } else {
    DeleteCurrentRecord();
  }
}

void Navigator::RenameCurrentFolder(const QString& name) {
  if (state_.EventsSuppressed || state_.EditMode != WorkMode::Database || state_.CurRecord != -1)
    return;
  const int folder = state_.CurFolder;
  // Typing a name is one step.
  Change(
      navigation_texts::kRenameFolderStep, ChangeScope::Folders({folder}),
      [&] { db_.Folders[folder].Name = name; }, QStringLiteral("folder name %1").arg(folder));
}

void Navigator::ChooseFolderIcon() {
  const int folder = state_.CurFolder;
  const QString icon = context_.services.ChooseIcon(db_.Folders[folder].Icon);
  Change(navigation_texts::kFolderIconStep, ChangeScope::Folders({folder}),
         [&] { db_.Folders[folder].Icon = icon; });
}

void Navigator::MoveFolderAmongSiblings(bool up) {
  const int folder = state_.CurFolder;
  const int sibling = up ? SiblingBelow(db_, folder) : SiblingAbove(db_, folder);
  if (sibling < 0) return;
  Change(up ? navigation_texts::kFolderUpStep : navigation_texts::kFolderDownStep,
         ScopeOfFolderExchange(db_, folder, sibling),
         [&] { ExchangeFolders(db_, folder, sibling); });
  ShowFolder(sibling);
}

void Navigator::MoveFolderToTop() {
  const int folder = state_.CurFolder;
  Change(navigation_texts::kFolderToTopStep, ChangeScope::Folders({folder}),
         [&] { db_.Folders[folder].Parent = TopLevelParent; });
  ShowFolder(folder);
}

void Navigator::ToggleMark(int record) {
  Change(navigation_texts::kMarkStep, ChangeScope{},
         [&] { db_.RecordMarks[record] = !db_.RecordMarks[record]; });
}

bool Navigator::DeleteRecords(const std::vector<int>& records) {
  if (records.empty()) return false;
  if (static_cast<int>(records.size()) >= db_.RecordCount) {
    context_.services.ShowMessage(context_.texts.Get(navigation_texts::kOnlyRecordNotDeleted),
                                  kExclamation);
    return false;
  }
  auto step = std::make_unique<DeletionStep>(StepName(navigation_texts::kDeleteRecordsStep), db_,
                                             state_, context_.funnel.Place());
  step->DeleteRecords(records);
  step->Finish();
  context_.funnel.Push(std::move(step));
  return true;
}

void Navigator::ToggleMarks(const std::vector<int>& records) {
  const bool mark = std::any_of(records.begin(), records.end(),
                                [this](int record) { return !db_.RecordMarks[record]; });
  Change(navigation_texts::kMarkRecordsStep, ChangeScope{}, [&] {
    for (int record : records) db_.RecordMarks[record] = mark;
  });
}

void Navigator::MoveRecordsToChosenFolder(const std::vector<int>& records) {
  if (records.empty() || state_.EditMode != WorkMode::Database) return;
  FolderChooser chooser(&context_.services.DialogParent(), context_.texts, db_, -1,
                        db_.Records[records.front()].Folder);
  if (context_.dialogs.RunModal(chooser) != QDialog::Accepted || chooser.Chosen() < 0) return;
  MoveRecordsToFolder(records, chooser.Chosen());
}

void Navigator::MoveRecordsToFolder(std::vector<int> records, int folder) {
  std::erase_if(records, [&](int record) { return db_.Records[record].Folder == folder; });
  if (records.empty()) return;
  std::sort(records.begin(), records.end());
  const int count = static_cast<int>(records.size());
  std::vector<std::pair<RecordData, bool>> held;
  held.reserve(records.size());
  for (int record : records) held.emplace_back(db_.Records[record], db_.RecordMarks[record]);
  auto step = std::make_unique<DeletionStep>(StepName(navigation_texts::kMoveRecordsStep), db_,
                                             state_, context_.funnel.Place());
  step->DeleteRecords(records);
  const std::vector<int> places = ChooseRecordSlots(db_, std::vector<int>(records.size(), folder));
  // Added again, the records would grow the table beyond the limit: the
  // deletion is taken back before anything else happens.
  const int top = *std::max_element(places.begin(), places.end()) + 1;
  if (top > std::max(kMaxRecords, int{db_.RecordCount})) {
    step->Finish();
    step->TakeBack();
    RecordLimitAllows(false);
    return;
  }
  step->Then(ChangeScope::Records(places), [&] {
    if (top > db_.RecordCount) SetCount(db_, kRecordsKind, static_cast<std::int16_t>(top));
    for (int k = 0; k < count; ++k) {
      db_.Records[places[k]] = held[k].first;
      db_.Records[places[k]].Folder = static_cast<std::int16_t>(folder);
      db_.RecordMarks[places[k]] = held[k].second;
    }
    RecountBuffers(db_);
  });
  context_.funnel.Push(std::move(step));
}

void Navigator::MoveShownToFolder() {
  if (state_.EditMode != WorkMode::Database) return;
  const bool record = state_.CurRecord >= 0;
  if (!record && (state_.CurFolder < 0 || state_.CurFolder >= db_.FolderCount)) return;
  // The chooser starts where the record or the folder is now.
  const int current =
      record ? db_.Records[state_.CurRecord].Folder : db_.Folders[state_.CurFolder].Parent;
  FolderChooser chooser(&context_.services.DialogParent(), context_.texts, db_,
                        record ? -1 : state_.CurFolder, current);
  if (context_.dialogs.RunModal(chooser) != QDialog::Accepted || chooser.Chosen() < 0) return;
  // As a drop of the record or the folder onto the folder chosen.
  DropNode(record ? RecordKey(state_.CurRecord) : FolderKey(state_.CurFolder),
           FolderKey(chooser.Chosen()));
}

void Navigator::DropNode(const QString& draggedKey, const QString& targetKey) {
  const NodeKey dragged = ParseKey(draggedKey);
  const NodeKey target = ParseKey(targetKey);
  if (dragged.kind.isEmpty() || target.kind.isEmpty()) return;
  const int folder = target.kind == u"root" ? target.index : db_.Records[target.index].Folder;
  if (dragged.kind == u"root") {
    if (dragged.index == folder) return;
    if (IsInSubtree(db_, folder, dragged.index)) {
      context_.services.ShowMessage(context_.texts.Get(navigation_texts::kFolderIntoItself),
                                    kExclamation);
      return;
    }
    Change(navigation_texts::kMoveFolderStep, ChangeScope::Folders({dragged.index}),
           [&] { db_.Folders[dragged.index].Parent = static_cast<std::int16_t>(folder); });
    ShowFolder(dragged.index);
    return;
  }
  if (db_.Records[dragged.index].Folder == folder) return;
  // The record is deleted before it is added again; at the limit the add
  // could be refused and the record lost, so the move is refused first. The
  // deletion may move the free slots: only a table with room is sure to
  // take the record.
  if (!RoomForMovedRecord()) return;
  const RecordData held = db_.Records[dragged.index];
  const bool marked = db_.RecordMarks[dragged.index];
  auto step = std::make_unique<DeletionStep>(StepName(navigation_texts::kMoveRecordStep), db_,
                                             state_, context_.funnel.Place());
  step->DeleteRecords({dragged.index});
  const int slot = SlotForRecord(folder);
  step->Then(ChangeScope::Records({slot}), [&] {
    InsertRecord(slot, folder, held.Form);
    db_.Records[slot] = held;
    db_.Records[slot].Folder = static_cast<std::int16_t>(folder);
    db_.RecordMarks[slot] = marked;
  });
  context_.funnel.Push(std::move(step));
  state_.CurRecord = -1;
  ShowRecord(slot);
}

}  // namespace orbo
