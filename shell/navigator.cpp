#include "shell/navigator.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QShortcut>
#include <QToolButton>

#include "app/app.h"
#include "app/main_window.h"
#include "forms/canvas/form_canvas.h"
#include "forms/designer/form_designer.h"
#include "shell/folder_tree.h"
#include "shell/folder_tree_widget.h"
#include "storage/navigation_logic.h"
#include "storage/record_title.h"

namespace orbo {
namespace {

constexpr int kDeleteTooltips = 958;
constexpr const char* kRecordSteps[] = {"dbfirst", "dbprev", "dbnext", "dblast", "tofolder"};
constexpr const char* kRecordMenus[] = {"mnuAddSameRec", "mnuCloneRec", "mnuDelRec"};

QListWidgetItem* ListItem(const QString& text, const QString& key, const QIcon& icon, bool bold) {
  auto* item = new QListWidgetItem(icon, text);
  item->setData(Qt::UserRole, key);
  if (bold) {
    QFont font = item->font();
    font.setBold(true);
    item->setFont(font);
  }
  return item;
}

}  // namespace

Navigator::Navigator(App& app)
    : app_(app),
      db_(app.db),
      state_(app.state),
      window_(app.Window()),
      tree_(app.Tree()),
      funnel_(app.Funnel()) {
  ConnectCommands();
  ConnectViews();
}

void Navigator::ConnectCommands() {
  MainCommands& c = window_.Commands();
  c.OnTriggered(c.Tool(kMainBar, "addrecord"), [this] { AddRecord(state_.CurFolder, -1, false); });
  // The menu's record takes the shown record's form, so it needs one.
  c.OnTriggered(c.Menu("mnuAddSameRec"), [this] {
    if (state_.CurRecord >= 0) AddRecord(state_.CurFolder, -1, false);
  });
  c.OnTriggered("mnuCloneRec", "clonerecord", [this] { CloneRecord(); });
  c.OnTriggered("mnuAddFolder", "addroot", [this] { AddFolder(); });
  c.OnTriggered(c.Tool(kMainBar, "del"), [this] { DeleteShown(); });
  c.OnTriggered(c.Menu("mnuDelRec"), [this] { DeleteCurrentRecord(); });
  c.OnTriggered(c.Menu("mnuDelFolder"), [this] { DeleteCurrentFolder(); });
  c.OnTriggered(c.Tool(kMainBar, "dbfirst"), [this] { Step(FirstRecordIndex); });
  c.OnTriggered(c.Tool(kMainBar, "dbprev"), [this] { Step(PrevRecordIndex); });
  c.OnTriggered(c.Tool(kMainBar, "dbnext"), [this] { Step(NextRecordIndex); });
  c.OnTriggered(c.Tool(kMainBar, "dblast"), [this] { Step(LastRecordIndex); });
  c.OnTriggered(c.Tool(kMainBar, "tofolder"), [this] {
    if (state_.CurRecord >= 0) ShowFolder(db_.Records[state_.CurRecord].Folder);
  });
}

void Navigator::ConnectViews() {
  FolderTreeWidget& tree = window_.MainList();
  QObject::connect(&tree, &QTreeWidget::itemClicked, &tree, [this](QTreeWidgetItem* item) {
    const QString key = FolderTree::KeyOf(item);
    funnel_.Run([this, key] {
      if (state_.EditMode == 1) {
        // In edit mode the tree stands for the database as a whole.
        app_.Designer().SelectElement(-2, 0);
        app_.ChooseTool(nullptr);
        return;
      }
      OpenNode(key);
    });
  });
  QObject::connect(&tree, &QTreeWidget::itemActivated, &tree, [this](QTreeWidgetItem* item) {
    const QString key = FolderTree::KeyOf(item);
    funnel_.Run([this, key] {
      if (state_.EditMode == 0) OpenNode(key);
    });
  });
  // Loading a node's children changes no data, so it is no command.
  QObject::connect(&tree, &QTreeWidget::itemExpanded, &tree, [this](QTreeWidgetItem* item) {
    const NodeKey key = ParseKey(FolderTree::KeyOf(item));
    if (key.kind == u"root") tree_.Populate(db_, key.index);
  });
  tree.onDrop = [this](QTreeWidgetItem* dragged, QTreeWidgetItem* target) {
    const QString draggedKey = FolderTree::KeyOf(dragged);
    const QString targetKey = FolderTree::KeyOf(target);
    funnel_.Run([=, this] { DropNode(draggedKey, targetKey); });
  };
  tree.onRightPress = [this](QTreeWidgetItem* item, const QPoint& at) {
    const NodeKey key = ParseKey(FolderTree::KeyOf(item));
    funnel_.Run([this, key] {
      if (state_.EditMode == 1) {
        // The tree stands for the database: its properties open.
        app_.Designer().SelectElement(-2, 0);
        app_.ChooseTool(nullptr);
        app_.Designer().ShowProperties();
      } else if (key.kind == u"item") {
        ToggleMark(key.index);
      }
    });
    // The quick sorts work on the current folder: the folder pressed on.
    if (key.kind == u"root" && state_.EditMode == 0 &&
        funnel_.Run([this, key] { ShowFolder(key.index); })) {
      window_.Commands().Submenu("mnSort")->popup(at);
    }
  };
  auto* deleteKey =
      new QShortcut(QKeySequence::Delete, &tree, nullptr, nullptr, Qt::WidgetShortcut);
  QObject::connect(deleteKey, &QShortcut::activated, &tree, funnel_.Gated([this] {
    if (state_.EditMode == 0) DeleteShown();
  }));
  auto* insertKey =
      new QShortcut(QKeySequence(Qt::Key_Insert), &tree, nullptr, nullptr, Qt::WidgetShortcut);
  QObject::connect(insertKey, &QShortcut::activated, &tree, funnel_.Gated([this] {
    if (state_.EditMode == 0) AddRecord(state_.CurFolder, -1, false);
  }));

  QListWidget& list = window_.ListView1();
  QObject::connect(&list, &QListWidget::itemClicked, &list, [this](QListWidgetItem* item) {
    const QString key = item->data(Qt::UserRole).toString();
    funnel_.Run([this, key] { OpenNode(key); });
  });
  list.setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(
      &list, &QListWidget::customContextMenuRequested, &list, [this, &list](const QPoint& at) {
        const QListWidgetItem* item = list.itemAt(at);
        const NodeKey key = ParseKey(item ? item->data(Qt::UserRole).toString() : QString());
        if (key.kind == u"item") funnel_.Run([this, key] { ToggleMark(key.index); });
      });

  QObject::connect(
      &window_.RootText(), &QLineEdit::textEdited, &window_.RootText(),
      [this](const QString& name) { funnel_.Run([this, name] { RenameCurrentFolder(name); }); });
  const std::pair<const char*, std::function<void()>> rootButtons[] = {
      {"RootImage", [this] { ChooseFolderIcon(); }},
      {"RootUp", [this] { MoveFolderAmongSiblings(true); }},
      {"RootDown", [this] { MoveFolderAmongSiblings(false); }},
      {"RootToRootButt", [this] { MoveFolderToTop(); }},
  };
  for (const auto& [name, command] : rootButtons) {
    QObject::connect(&window_.RootButton(name), &QToolButton::clicked, &window_,
                     funnel_.Gated(command));
  }
}

void Navigator::RebuildTree() { tree_.Rebuild(db_); }

void Navigator::SetRecordCommands(bool recordShown) {
  MainCommands& c = window_.Commands();
  for (const char* key : kRecordSteps) c.Tool(kMainBar, key)->setEnabled(recordShown);
  for (const char* name : kRecordMenus) c.Menu(name)->setEnabled(recordShown);
  c.Menu("mnuDelFolder")->setEnabled(!recordShown);
  c.Tool(kMainBar, "del")->setToolTip(app_.texts.Get(kDeleteTooltips, recordShown ? 5 : 4));
}

void Navigator::SelectNode(const QString& key) {
  if (QTreeWidgetItem* node = tree_.Reveal(db_, key)) {
    window_.MainList().setCurrentItem(node);
    window_.MainList().scrollToItem(node);
  }
}

void Navigator::ShowFolder(int folder) {
  if (folder < 0 || folder >= db_.FolderCount) return;
  SuppressEvents suppressed(state_);
  state_.CurFolder = folder;
  state_.CurRecord = -1;
  SelectNode(FolderKey(folder));
  SetRecordCommands(false);
  window_.ShowFolderView(true);
  const FolderDef& def = db_.Folders[folder];
  window_.RootButton("RootImage").setIcon(window_.IconFor(def.Icon));
  window_.RootText().setText(def.Name);
  FillFolderList(folder);
  app_.UpdateTitle();
  app_.UpdateStatusBar();
}

void Navigator::FillFolderList(int folder) {
  QListWidget& list = window_.ListView1();
  list.setUpdatesEnabled(false);
  list.clear();
  const FolderDef& def = db_.Folders[folder];
  if (def.Parent != TopLevelParent)
    list.addItem(ListItem("..", FolderKey(def.Parent), QIcon(), false));
  for (int sibling : SubfoldersOf(db_, def.Parent)) {
    QListWidgetItem* item =
        ListItem(db_.Folders[sibling].Name, FolderKey(sibling),
                 sibling == folder ? window_.IconFor(def.Icon) : QIcon(), false);
    list.addItem(item);
    if (sibling == folder) list.setCurrentItem(item);
  }
  list.addItem(ListItem("* * *", QStringLiteral("xxxx0"), QIcon(), false));
  for (int r : RecordsOf(db_, folder)) {
    const int form = db_.Records[r].Form;
    list.addItem(ListItem(ShortenName(RecordTitleLine(db_, r), db_.MaxListString), RecordKey(r),
                          window_.IconFor(db_.Forms[form].Icon), db_.RecordMarks[r]));
  }
  for (int sub : SubfoldersOf(db_, folder)) {
    list.addItem(ListItem(db_.Folders[sub].Name, FolderKey(sub),
                          window_.IconFor(db_.Folders[sub].Icon), false));
  }
  list.setUpdatesEnabled(true);
}

void Navigator::ShowRecord(int record) {
  // A free slot is no record: it is listed nowhere and never shown.
  if (record < 0 || record >= db_.RecordCount || db_.Records[record].Folder == BufferFolder) return;
  if (state_.CurRecord == -1 || db_.Records[record].Form != state_.CurForm)
    app_.Canvas().DrawForm(db_.Records[record].Form);
  SuppressEvents suppressed(state_);
  state_.CurRecord = record;
  state_.CurFolder = db_.Records[record].Folder;
  SelectNode(RecordKey(record));
  window_.ShowFolderView(false);
  SetRecordCommands(true);
  app_.Canvas().FillRecordValues(record);
  app_.UpdateTitle();
  app_.UpdateStatusBar();
}

void Navigator::OpenNode(const QString& key) {
  const NodeKey parsed = ParseKey(key);
  if (parsed.kind == u"item") ShowRecord(parsed.index);
  if (parsed.kind == u"root") ShowFolder(parsed.index);
}

void Navigator::OpenSelectedNode() {
  const NodeKey key = ParseKey(FolderTree::KeyOf(window_.MainList().currentItem()));
  if (!key.kind.isEmpty()) {
    OpenNode(FolderTree::KeyOf(window_.MainList().currentItem()));
    return;
  }
  // Nothing openable is selected (the tree lost the node it showed): the
  // current folder, or the first one when that went away.
  ShowFolder(state_.CurFolder >= 0 && state_.CurFolder < db_.FolderCount ? state_.CurFolder : 0);
}

void Navigator::Step(int (*next)(const Database&, int, int)) {
  if (state_.CurRecord == -1) return;
  const int target = next(db_, state_.CurRecord, state_.CurFolder);
  if (target >= 0) ShowRecord(target);
}

bool Navigator::AddRecord(int folder, int form, bool quiet) {
  if (db_.RecordCount >= kMaxRecords) {
    app_.ShowMessage(app_.texts.Get(940, 0) + QString::number(kMaxRecords) + app_.texts.Get(940, 1),
                     kOkOnly);
    return false;
  }
  const int chosenForm = form != -1              ? form
                         : state_.CurRecord >= 0 ? db_.Records[state_.CurRecord].Form
                                                 : 0;
  int slot = ChooseRecordSlot(db_, folder);
  if (slot < 0) {
    SetCount(db_, kRecordsKind, static_cast<std::int16_t>(db_.RecordCount + 1));
    slot = db_.RecordCount - 1;
  }
  NewRecord(db_, slot);
  db_.Records[slot].Folder = static_cast<std::int16_t>(folder);
  db_.Records[slot].Form = static_cast<std::int16_t>(chosenForm);
  tree_.AddRecordNode(db_, slot);
  if (quiet) {
    state_.CurRecord = slot;
  } else {
    ShowRecord(slot);
    app_.SetModified(true);
  }
  RecountBuffers(db_);
  return true;
}

void Navigator::CloneRecord() {
  if (state_.CurRecord == -1) {
    app_.ShowMessage(app_.texts.Get(650, 0), kExclamation);
    return;
  }
  const RecordData original = db_.Records[state_.CurRecord];
  if (!AddRecord(state_.CurFolder, -1, false)) return;
  db_.Records[state_.CurRecord] = original;
  tree_.UpdateRecordText(db_, state_.CurRecord);
  ShowRecord(state_.CurRecord);
}

bool Navigator::DeleteRecord(int record, bool force) {
  if (db_.RecordCount == 1 && !force) {
    app_.ShowMessage(app_.texts.Get(520, 0), kExclamation);
    return false;
  }
  const int countBefore = db_.RecordCount;
  FollowDeletion(DeleteRecordInModel(db_, record), countBefore, true);
  return true;
}

void Navigator::FollowDeletion(const RecordDeletion& deletion, int countBefore, bool removeNode) {
  // The deleted record's node leaves the key table first, so each moved
  // record's node takes its new key in one step.
  const int deleted = deletion.moves.empty() ? deletion.hole : deletion.moves.front().to;
  QTreeWidgetItem* node = tree_.TakeNode(RecordKey(deleted));
  for (const RecordMove& move : deletion.moves)
    tree_.Rekey(RecordKey(move.from), RecordKey(move.to));
  if (removeNode) delete node;
  if (deletion.shrunk) {
    for (int i = deletion.hole + 1; i < countBefore; ++i)
      tree_.Rekey(RecordKey(i), RecordKey(i - 1));
  }
}

void Navigator::DeleteCurrentRecord() {
  if (state_.CurRecord == -1) return;
  if (!DeleteRecord(state_.CurRecord, false)) return;
  state_.CurRecord = -1;
  OpenSelectedNode();
  app_.SetModified(true);
}

void Navigator::AddFolder() {
  if (db_.FolderCount >= kMaxFolders) {
    app_.ShowMessage(app_.texts.Get(930, 0) + QString::number(kMaxFolders) + app_.texts.Get(930, 1),
                     kOkOnly);
    return;
  }
  SetCount(db_, kFoldersKind, static_cast<std::int16_t>(db_.FolderCount + 1));
  const int folder = db_.FolderCount - 1;
  NewFolder(db_, folder);
  db_.Folders[folder].Parent = static_cast<std::int16_t>(
      state_.CurRecord >= 0 ? state_.CurFolder : db_.Folders[state_.CurFolder].Parent);
  tree_.AddFolderNode(db_, folder);
  ShowFolder(folder);
  app_.SetModified(true);
}

bool Navigator::DeleteFolder(int folder) {
  if (HasSubfolders(db_, folder)) {
    app_.ShowMessage(app_.texts.Get(620, 0), kExclamation);
    return false;
  }
  const std::vector<int> records = RecordsOf(db_, folder);
  if (!records.empty() &&
      app_.ShowMessage(app_.texts.Get(635, 0) + db_.Folders[folder].Name + app_.texts.Get(635, 1),
                       kYesNo) != kAnswerYes) {
    return false;
  }
  // The record nodes all lie below the folder's node, which goes last with
  // its children: one removal instead of one per record.
  int recordCount = db_.RecordCount;
  for (const RecordDeletion& deletion : DeleteRecordsInModel(db_, records)) {
    FollowDeletion(deletion, recordCount, false);
    if (deletion.shrunk) --recordCount;
  }
  const int countBefore = db_.FolderCount;
  tree_.RemoveNode(FolderKey(folder));
  for (int k = folder + 1; k < countBefore; ++k) tree_.Rekey(FolderKey(k), FolderKey(k - 1));
  RemoveFolderInModel(db_, folder);
  return true;
}

void Navigator::DeleteCurrentFolder() {
  if (state_.CurRecord != -1) return;
  if (db_.FolderCount == 1) {
    app_.ShowMessage(app_.texts.Get(600, 0), kExclamation);
    return;
  }
  if (!DeleteFolder(state_.CurFolder)) return;
  OpenSelectedNode();
  app_.SetModified(true);
}

void Navigator::DeleteShown() {
  if (state_.CurRecord == -1) {
    DeleteCurrentFolder();
  } else {
    DeleteCurrentRecord();
  }
}

void Navigator::RenameCurrentFolder(const QString& name) {
  if (state_.EventsSuppressed || state_.EditMode != 0 || state_.CurRecord != -1) return;
  db_.Folders[state_.CurFolder].Name = name;
  tree_.UpdateFolderNode(db_, state_.CurFolder);
  app_.SetModified(true);
  app_.UpdateTitle();
}

void Navigator::ChooseFolderIcon() {
  FolderDef& folder = db_.Folders[state_.CurFolder];
  folder.Icon = app_.ChooseIcon(folder.Icon);
  tree_.UpdateFolderNode(db_, state_.CurFolder);
  window_.RootButton("RootImage").setIcon(window_.IconFor(folder.Icon));
}

void Navigator::MoveFolderAmongSiblings(bool up) {
  const int folder = state_.CurFolder;
  const int sibling = up ? SiblingBelow(db_, folder) : SiblingAbove(db_, folder);
  if (sibling < 0) return;
  ExchangeFolders(db_, folder, sibling);
  app_.SetModified(true);
  RebuildTree();
  ShowFolder(sibling);
}

void Navigator::MoveFolderToTop() {
  db_.Folders[state_.CurFolder].Parent = TopLevelParent;
  RebuildTree();
  ShowFolder(state_.CurFolder);
  OpenSelectedNode();
  app_.SetModified(true);
}

void Navigator::ToggleMark(int record) {
  db_.RecordMarks[record] = !db_.RecordMarks[record];
  ShowMark(record);
}

void Navigator::ShowMark(int record) {
  tree_.ShowMark(db_, record);
  QListWidget& list = window_.ListView1();
  const QString key = RecordKey(record);
  for (int i = 0; i < list.count(); ++i) {
    QListWidgetItem* item = list.item(i);
    if (item->data(Qt::UserRole).toString() != key) continue;
    QFont font = item->font();
    font.setBold(db_.RecordMarks[record]);
    item->setFont(font);
  }
}

void Navigator::DropNode(const QString& draggedKey, const QString& targetKey) {
  const NodeKey dragged = ParseKey(draggedKey);
  const NodeKey target = ParseKey(targetKey);
  if (dragged.kind.isEmpty() || target.kind.isEmpty()) return;
  const int folder = target.kind == u"root" ? target.index : db_.Records[target.index].Folder;
  if (dragged.kind == u"root") {
    if (dragged.index == folder) return;
    if (IsInSubtree(db_, folder, dragged.index)) {
      app_.ShowMessage(app_.texts.Get(610, 0), kExclamation);
      return;
    }
    db_.Folders[dragged.index].Parent = static_cast<std::int16_t>(folder);
    tree_.RemoveNode(draggedKey);
    tree_.AddFolderNode(db_, dragged.index);
    ShowFolder(dragged.index);
    app_.SetModified(true);
    return;
  }
  if (db_.Records[dragged.index].Folder == folder) return;
  // The record is deleted before it is added again; at the limit the add
  // could be refused and the record lost, so the move is refused first.
  if (db_.RecordCount >= kMaxRecords) {
    app_.ShowMessage(app_.texts.Get(940, 0) + QString::number(kMaxRecords) + app_.texts.Get(940, 1),
                     kOkOnly);
    return;
  }
  const RecordData held = db_.Records[dragged.index];
  const bool marked = db_.RecordMarks[dragged.index];
  DeleteRecord(dragged.index, true);
  if (!AddRecord(folder, held.Form, true)) return;
  const int slot = state_.CurRecord;
  db_.Records[slot] = held;
  db_.Records[slot].Folder = static_cast<std::int16_t>(folder);
  db_.RecordMarks[slot] = marked;
  tree_.UpdateRecordText(db_, slot);
  ShowMark(slot);
  state_.CurRecord = -1;
  ShowRecord(slot);
  app_.SetModified(true);
}

}  // namespace orbo
