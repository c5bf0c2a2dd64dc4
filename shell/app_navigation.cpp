// App: opening folders and records, stepping, adding and deleting records and
// folders, the folder header, marks and drag and drop in the tree.
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QShortcut>
#include <QToolButton>

#include "forms/form_canvas.h"
#include "forms/form_designer.h"
#include "shell/app.h"
#include "shell/folder_tree.h"
#include "shell/folder_tree_widget.h"
#include "shell/main_window.h"
#include "shell/navigation_logic.h"
#include "shell/record_title.h"

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

void App::ConnectViews() {
  FolderTreeWidget& tree = window_->MainList();
  QObject::connect(&tree, &QTreeWidget::itemClicked, &tree, [this](QTreeWidgetItem* item) {
    const QString key = FolderTree::KeyOf(item);
    gate_.Run([this, key] {
      if (state.EditMode == 1) {
        // In edit mode the tree stands for the database as a whole.
        designer_->SelectElement(-2, 0);
        ChooseTool(nullptr);
        return;
      }
      OpenNode(key);
    });
  });
  QObject::connect(&tree, &QTreeWidget::itemActivated, &tree, [this](QTreeWidgetItem* item) {
    const QString key = FolderTree::KeyOf(item);
    gate_.Run([this, key] {
      if (state.EditMode == 0) OpenNode(key);
    });
  });
  // Loading a node's children changes no data, so it is no command.
  QObject::connect(&tree, &QTreeWidget::itemExpanded, &tree, [this](QTreeWidgetItem* item) {
    const NodeKey key = ParseKey(FolderTree::KeyOf(item));
    if (key.kind == u"root") tree_->Populate(db, key.index);
  });
  tree.onDrop = [this](QTreeWidgetItem* dragged, QTreeWidgetItem* target) {
    const QString draggedKey = FolderTree::KeyOf(dragged);
    const QString targetKey = FolderTree::KeyOf(target);
    gate_.Run([=, this] { DropNode(draggedKey, targetKey); });
  };
  tree.onRightPress = [this](QTreeWidgetItem* item, const QPoint& at) {
    const NodeKey key = ParseKey(FolderTree::KeyOf(item));
    gate_.Run([this, key] {
      if (state.EditMode == 1) {
        // The tree stands for the database: its properties open.
        designer_->SelectElement(-2, 0);
        ChooseTool(nullptr);
        designer_->ShowProperties();
      } else if (key.kind == u"item") {
        ToggleMark(key.index);
      }
    });
    // The quick sorts work on the current folder: the folder pressed on.
    if (key.kind == u"root" && state.EditMode == 0 && gate_.Run([this, key] { ShowFolder(key.index); })) {
      window_->Commands().Submenu("mnSort")->popup(at);
    }
  };
  auto* deleteKey = new QShortcut(QKeySequence::Delete, &tree, nullptr, nullptr, Qt::WidgetShortcut);
  QObject::connect(deleteKey, &QShortcut::activated, &tree, gate_.Gated([this] {
    if (state.EditMode == 0) DeleteShown();
  }));
  auto* insertKey = new QShortcut(QKeySequence(Qt::Key_Insert), &tree, nullptr, nullptr, Qt::WidgetShortcut);
  QObject::connect(insertKey, &QShortcut::activated, &tree, gate_.Gated([this] {
    if (state.EditMode == 0) AddRecord(state.CurFolder, -1, false);
  }));

  QListWidget& list = window_->ListView1();
  QObject::connect(&list, &QListWidget::itemClicked, &list, [this](QListWidgetItem* item) {
    const QString key = item->data(Qt::UserRole).toString();
    gate_.Run([this, key] { OpenNode(key); });
  });
  list.setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(&list, &QListWidget::customContextMenuRequested, &list, [this, &list](const QPoint& at) {
    const QListWidgetItem* item = list.itemAt(at);
    const NodeKey key = ParseKey(item ? item->data(Qt::UserRole).toString() : QString());
    if (key.kind == u"item") gate_.Run([this, key] { ToggleMark(key.index); });
  });

  QObject::connect(&window_->RootText(), &QLineEdit::textEdited, &window_->RootText(),
                   [this](const QString& name) { gate_.Run([this, name] { RenameCurrentFolder(name); }); });
  const std::pair<const char*, std::function<void()>> rootButtons[] = {
      {"RootImage", [this] { ChooseFolderIcon(); }},
      {"RootUp", [this] { MoveFolderAmongSiblings(true); }},
      {"RootDown", [this] { MoveFolderAmongSiblings(false); }},
      {"RootToRootButt", [this] { MoveFolderToTop(); }},
  };
  for (const auto& [name, command] : rootButtons) {
    QObject::connect(&window_->RootButton(name), &QToolButton::clicked, window_.get(), gate_.Gated(command));
  }
}

void App::RebuildTree() { tree_->Rebuild(db); }

void App::SetRecordCommands(bool recordShown) {
  MainCommands& c = window_->Commands();
  for (const char* key : kRecordSteps) c.Tool(kMainBar, key)->setEnabled(recordShown);
  for (const char* name : kRecordMenus) c.Menu(name)->setEnabled(recordShown);
  c.Menu("mnuDelFolder")->setEnabled(!recordShown);
  c.Submenu("mnuMainField")->menuAction()->setEnabled(recordShown);
  c.Tool(kMainBar, "del")->setToolTip(texts.Get(kDeleteTooltips, recordShown ? 5 : 4));
}

void App::SelectNode(const QString& key) {
  if (QTreeWidgetItem* node = tree_->Reveal(db, key)) {
    window_->MainList().setCurrentItem(node);
    window_->MainList().scrollToItem(node);
  }
}

void App::ShowFolder(int folder) {
  if (folder < 0 || folder >= db.FolderCount) return;
  SuppressEvents suppressed(state);
  state.CurFolder = folder;
  state.CurRecord = -1;
  SelectNode(FolderKey(folder));
  SetRecordCommands(false);
  window_->ShowFolderView(true);
  const FolderDef& def = db.Folders[folder];
  window_->RootButton("RootImage").setIcon(window_->IconFor(def.Icon));
  window_->RootText().setText(def.Name);
  FillFolderList(folder);
  UpdateTitle();
  UpdateStatusBar();
}

void App::FillFolderList(int folder) {
  QListWidget& list = window_->ListView1();
  list.setUpdatesEnabled(false);
  list.clear();
  const FolderDef& def = db.Folders[folder];
  if (def.Parent != TopLevelParent) list.addItem(ListItem("..", FolderKey(def.Parent), QIcon(), false));
  for (int sibling : SubfoldersOf(db, def.Parent)) {
    QListWidgetItem* item = ListItem(db.Folders[sibling].Name, FolderKey(sibling),
                                     sibling == folder ? window_->IconFor(def.Icon) : QIcon(), false);
    list.addItem(item);
    if (sibling == folder) list.setCurrentItem(item);
  }
  list.addItem(ListItem("* * *", QStringLiteral("xxxx0"), QIcon(), false));
  for (int r : RecordsOf(db, folder)) {
    const int form = db.Records[r].Form;
    list.addItem(ListItem(ShortenName(RecordTitle(db, r), db.MaxListString), RecordKey(r),
                          window_->IconFor(db.Forms[form].Icon), db.RecordMarks[r]));
  }
  for (int sub : SubfoldersOf(db, folder)) {
    list.addItem(ListItem(db.Folders[sub].Name, FolderKey(sub), window_->IconFor(db.Folders[sub].Icon), false));
  }
  list.setUpdatesEnabled(true);
}

void App::ShowRecord(int record) {
  // A free slot is no record: it is listed nowhere and never shown.
  if (record < 0 || record >= db.RecordCount || db.Records[record].Folder == BufferFolder) return;
  if (state.CurRecord == -1 || db.Records[record].Form != state.CurForm) canvas_->DrawForm(db.Records[record].Form);
  SuppressEvents suppressed(state);
  state.CurRecord = record;
  state.CurFolder = db.Records[record].Folder;
  SelectNode(RecordKey(record));
  window_->ShowFolderView(false);
  SetRecordCommands(true);
  canvas_->FillRecordValues(record);
  UpdateTitle();
  UpdateStatusBar();
}

void App::OpenNode(const QString& key) {
  const NodeKey parsed = ParseKey(key);
  if (parsed.kind == u"item") ShowRecord(parsed.index);
  if (parsed.kind == u"root") ShowFolder(parsed.index);
}

void App::OpenSelectedNode() {
  const NodeKey key = ParseKey(FolderTree::KeyOf(window_->MainList().currentItem()));
  if (!key.kind.isEmpty()) {
    OpenNode(FolderTree::KeyOf(window_->MainList().currentItem()));
    return;
  }
  // Nothing openable is selected (the tree lost the node it showed): the
  // current folder, or the first one when that went away.
  ShowFolder(state.CurFolder >= 0 && state.CurFolder < db.FolderCount ? state.CurFolder : 0);
}

void App::Step(int (*next)(const Database&, int, int)) {
  if (state.CurRecord == -1) return;
  const int target = next(db, state.CurRecord, state.CurFolder);
  if (target >= 0) ShowRecord(target);
}

bool App::AddRecord(int folder, int form, bool quiet) {
  if (db.RecordCount >= kMaxRecords) {
    ShowMessage(texts.Get(940, 0) + QString::number(kMaxRecords) + texts.Get(940, 1), kOkOnly);
    return false;
  }
  const int chosenForm = form != -1 ? form : state.CurRecord >= 0 ? db.Records[state.CurRecord].Form : 0;
  int slot = ChooseRecordSlot(db, folder);
  if (slot < 0) {
    SetCount(db, kRecordsKind, static_cast<std::int16_t>(db.RecordCount + 1));
    slot = db.RecordCount - 1;
  }
  NewRecord(db, slot);
  db.Records[slot].Folder = static_cast<std::int16_t>(folder);
  db.Records[slot].Form = static_cast<std::int16_t>(chosenForm);
  tree_->AddRecordNode(db, slot);
  if (quiet) {
    state.CurRecord = slot;
  } else {
    ShowRecord(slot);
    SetModified(true);
  }
  RecountBuffers(db);
  return true;
}

void App::CloneRecord() {
  if (state.CurRecord == -1) {
    ShowMessage(texts.Get(650, 0), kExclamation);
    return;
  }
  const RecordData original = db.Records[state.CurRecord];
  if (!AddRecord(state.CurFolder, -1, false)) return;
  db.Records[state.CurRecord] = original;
  tree_->UpdateRecordText(db, state.CurRecord);
  ShowRecord(state.CurRecord);
}

bool App::DeleteRecord(int record, bool force) {
  if (db.RecordCount == 1 && !force) {
    ShowMessage(texts.Get(520, 0), kExclamation);
    return false;
  }
  const int countBefore = db.RecordCount;
  FollowDeletion(DeleteRecordInModel(db, record), countBefore, true);
  return true;
}

void App::FollowDeletion(const RecordDeletion& deletion, int countBefore, bool removeNode) {
  // The deleted record's node leaves the key table first, so each moved
  // record's node takes its new key in one step.
  const int deleted = deletion.moves.empty() ? deletion.hole : deletion.moves.front().to;
  QTreeWidgetItem* node = tree_->TakeNode(RecordKey(deleted));
  for (const RecordMove& move : deletion.moves) tree_->Rekey(RecordKey(move.from), RecordKey(move.to));
  if (removeNode) delete node;
  if (deletion.shrunk) {
    for (int i = deletion.hole + 1; i < countBefore; ++i) tree_->Rekey(RecordKey(i), RecordKey(i - 1));
  }
}

void App::DeleteCurrentRecord() {
  if (state.CurRecord == -1) return;
  if (!DeleteRecord(state.CurRecord, false)) return;
  state.CurRecord = -1;
  OpenSelectedNode();
  SetModified(true);
}

void App::AddFolder() {
  if (db.FolderCount >= kMaxFolders) {
    ShowMessage(texts.Get(930, 0) + QString::number(kMaxFolders) + texts.Get(930, 1), kOkOnly);
    return;
  }
  SetCount(db, kFoldersKind, static_cast<std::int16_t>(db.FolderCount + 1));
  const int folder = db.FolderCount - 1;
  NewFolder(db, folder);
  db.Folders[folder].Parent = static_cast<std::int16_t>(
      state.CurRecord >= 0 ? state.CurFolder : db.Folders[state.CurFolder].Parent);
  tree_->AddFolderNode(db, folder);
  ShowFolder(folder);
  SetModified(true);
}

bool App::DeleteFolder(int folder) {
  if (HasSubfolders(db, folder)) {
    ShowMessage(texts.Get(620, 0), kExclamation);
    return false;
  }
  const std::vector<int> records = RecordsOf(db, folder);
  if (!records.empty() &&
      ShowMessage(texts.Get(635, 0) + db.Folders[folder].Name + texts.Get(635, 1), kYesNo) != kAnswerYes) {
    return false;
  }
  // The record nodes all lie below the folder's node, which goes last with
  // its children: one removal instead of one per record.
  int recordCount = db.RecordCount;
  for (const RecordDeletion& deletion : DeleteRecordsInModel(db, records)) {
    FollowDeletion(deletion, recordCount, false);
    if (deletion.shrunk) --recordCount;
  }
  const int countBefore = db.FolderCount;
  tree_->RemoveNode(FolderKey(folder));
  for (int k = folder + 1; k < countBefore; ++k) tree_->Rekey(FolderKey(k), FolderKey(k - 1));
  RemoveFolderInModel(db, folder);
  return true;
}

void App::DeleteCurrentFolder() {
  if (db.FolderCount == 1) {
    ShowMessage(texts.Get(600, 0), kExclamation);
    return;
  }
  if (!DeleteFolder(state.CurFolder)) return;
  OpenSelectedNode();
  SetModified(true);
}

void App::DeleteShown() {
  if (state.CurRecord == -1) {
    DeleteCurrentFolder();
  } else {
    DeleteCurrentRecord();
  }
}

void App::RenameCurrentFolder(const QString& name) {
  if (state.EventsSuppressed || state.EditMode != 0 || state.CurRecord != -1) return;
  db.Folders[state.CurFolder].Name = name;
  tree_->UpdateFolderNode(db, state.CurFolder);
  SetModified(true);
  UpdateTitle();
}

void App::ChooseFolderIcon() {
  FolderDef& folder = db.Folders[state.CurFolder];
  folder.Icon = ChooseIcon(folder.Icon);
  tree_->UpdateFolderNode(db, state.CurFolder);
  window_->RootButton("RootImage").setIcon(window_->IconFor(folder.Icon));
}

void App::MoveFolderAmongSiblings(bool up) {
  const int folder = state.CurFolder;
  const int sibling = up ? SiblingBelow(db, folder) : SiblingAbove(db, folder);
  if (sibling < 0) return;
  ExchangeFolders(db, folder, sibling);
  SetModified(true);
  RebuildTree();
  ShowFolder(sibling);
}

void App::MoveFolderToTop() {
  db.Folders[state.CurFolder].Parent = TopLevelParent;
  RebuildTree();
  ShowFolder(state.CurFolder);
  OpenSelectedNode();
  SetModified(true);
}

void App::ToggleMark(int record) {
  db.RecordMarks[record] = !db.RecordMarks[record];
  ShowMark(record);
}

void App::ShowMark(int record) {
  tree_->ShowMark(db, record);
  QListWidget& list = window_->ListView1();
  const QString key = RecordKey(record);
  for (int i = 0; i < list.count(); ++i) {
    QListWidgetItem* item = list.item(i);
    if (item->data(Qt::UserRole).toString() != key) continue;
    QFont font = item->font();
    font.setBold(db.RecordMarks[record]);
    item->setFont(font);
  }
}

void App::DropNode(const QString& draggedKey, const QString& targetKey) {
  const NodeKey dragged = ParseKey(draggedKey);
  const NodeKey target = ParseKey(targetKey);
  if (dragged.kind.isEmpty() || target.kind.isEmpty()) return;
  const int folder = target.kind == u"root" ? target.index : db.Records[target.index].Folder;
  if (dragged.kind == u"root") {
    if (dragged.index == folder) return;
    if (IsInSubtree(db, folder, dragged.index)) {
      ShowMessage(texts.Get(610, 0), kExclamation);
      return;
    }
    db.Folders[dragged.index].Parent = static_cast<std::int16_t>(folder);
    tree_->RemoveNode(draggedKey);
    tree_->AddFolderNode(db, dragged.index);
    ShowFolder(dragged.index);
    SetModified(true);
    return;
  }
  if (db.Records[dragged.index].Folder == folder) return;
  // The record is deleted before it is added again; at the limit the add
  // could be refused and the record lost, so the move is refused first.
  if (db.RecordCount >= kMaxRecords) {
    ShowMessage(texts.Get(940, 0) + QString::number(kMaxRecords) + texts.Get(940, 1), kOkOnly);
    return;
  }
  const RecordData held = db.Records[dragged.index];
  const bool marked = db.RecordMarks[dragged.index];
  DeleteRecord(dragged.index, true);
  if (!AddRecord(folder, held.Form, true)) return;
  const int slot = state.CurRecord;
  db.Records[slot] = held;
  db.Records[slot].Folder = static_cast<std::int16_t>(folder);
  db.RecordMarks[slot] = marked;
  tree_->UpdateRecordText(db, slot);
  ShowMark(slot);
  state.CurRecord = -1;
  ShowRecord(slot);
  SetModified(true);
}

}  // namespace orbo
