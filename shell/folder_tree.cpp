#include "shell/folder_tree.h"

#include <QRandomGenerator>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <algorithm>

#include "storage/navigation_logic.h"
#include "storage/record_title.h"

namespace orbo {
namespace {

const QString kPlaceholderKind = QStringLiteral("subr");

// A node that carries its key as a plain member: giving a node another key
// (thousands of times when a large folder is deleted) then costs the view
// nothing, where item data would signal a change each time.
class KeyedItem : public QTreeWidgetItem {
 public:
  static constexpr int kType = QTreeWidgetItem::UserType + 1;
  explicit KeyedItem(const QString& text) : QTreeWidgetItem(QStringList{text}, kType) {}
  KeyedItem(QTreeWidgetItem* parent, const QString& text)
      : QTreeWidgetItem(parent, QStringList{text}, kType) {}
  QString key;
};

bool IsPlaceholder(const QTreeWidgetItem* item) {
  return item && FolderTree::KeyOf(item).startsWith(kPlaceholderKind);
}

// The child that stands for a folder's contents until it is first opened.
void AddPlaceholder(QTreeWidgetItem* folderItem) {
  auto* placeholder = new KeyedItem(folderItem, QStringLiteral("sub"));
  placeholder->key = kPlaceholderKind + QString::number(QRandomGenerator::global()->bounded(32708));
}

// How many folders lead down to folder, itself included.
int FolderDepth(const Database& db, int folder) {
  int depth = 0;
  for (int f = folder; IsFolderIndex(db, f) && depth <= db.FolderCount; f = db.Folders[f].Parent)
    ++depth;
  return depth;
}

}  // namespace

const QString NodeTable::kFolderKind = QStringLiteral("root");
const QString NodeTable::kRecordKind = QStringLiteral("item");

QString FolderKey(int folder) { return NodeTable::kFolderKind + QString::number(folder); }
QString RecordKey(int record) { return NodeTable::kRecordKind + QString::number(record); }

int NodeTable::TableOf(const QString& kind) {
  if (kind == kFolderKind) return 0;
  if (kind == kRecordKind) return 1;
  return -1;
}

void NodeTable::Set(const NodeKey& key, QTreeWidgetItem* item) {
  const int table = TableOf(key.kind);
  if (table < 0 || key.index < 0) return;
  std::vector<QTreeWidgetItem*>& nodes = tables_[table];
  const auto at = static_cast<std::size_t>(key.index);
  if (at >= nodes.size()) nodes.resize(at + 1, nullptr);
  nodes[at] = item;
}

QTreeWidgetItem* NodeTable::Take(const NodeKey& key) {
  QTreeWidgetItem* item = Get(key);
  if (item) Set(key, nullptr);
  return item;
}

void NodeTable::Clear() {
  for (std::vector<QTreeWidgetItem*>& nodes : tables_) nodes.clear();
}

NodeKey ParseKey(const QString& key) {
  const QString kind = key.left(4);
  if (kind != u"root" && kind != u"item") return {};
  bool ok = false;
  int index = key.mid(4).toInt(&ok);
  return ok ? NodeKey{kind, index} : NodeKey{};
}

FolderTree::FolderTree(QTreeWidget& tree, IconFor iconFor)
    : tree_(tree), iconFor_(std::move(iconFor)) {}

QString FolderTree::KeyOf(const QTreeWidgetItem* item) {
  return item && item->type() == KeyedItem::kType ? static_cast<const KeyedItem*>(item)->key
                                                  : QString();
}

void FolderTree::Register(QTreeWidgetItem* item, const QString& key) {
  static_cast<KeyedItem*>(item)->key = key;
  nodes_.Set(ParseKey(key), item);
}

void FolderTree::HighlightFolders(std::vector<char> folders) {
  if (folders.empty() && highlighted_.empty()) return;
  highlighted_ = std::move(folders);
  const std::vector<QTreeWidgetItem*>& nodes = nodes_.Folders();
  for (std::size_t folder = 0; folder < nodes.size(); ++folder)
    if (nodes[folder]) ShowHighlight(nodes[folder], static_cast<int>(folder));
}

void FolderTree::ShowHighlight(QTreeWidgetItem* item, int folder) const {
  const bool on = folder >= 0 && static_cast<std::size_t>(folder) < highlighted_.size() &&
                  highlighted_[static_cast<std::size_t>(folder)];
  if (item->font(0).bold() == on) return;
  QFont font = item->font(0);
  font.setBold(on);
  item->setFont(0, font);
  item->setData(0, Qt::ForegroundRole,
                on ? QVariant(tree_.palette().brush(QPalette::Link)) : QVariant());
}

void FolderTree::Clear() {
  nodes_.Clear();
  tree_.clear();
}

void FolderTree::Rebuild(const Database& db) {
  // The folders the user opened stay open (a change of many entries, the
  // list length and a load rebuild the tree).
  QList<int> opened;
  const std::vector<QTreeWidgetItem*>& folders = nodes_.Folders();
  for (std::size_t folder = 0; folder < folders.size(); ++folder) {
    if (folders[folder] && folders[folder]->isExpanded()) opened << static_cast<int>(folder);
  }
  Clear();
  const FolderContents contents = CountFolderContents(db);
  QList<QTreeWidgetItem*> top;
  for (int f : SubfoldersOf(db, TopLevelParent)) {
    top << MakeFolderItem(db, f, contents.records[f] + contents.subfolders[f] > 0);
  }
  tree_.addTopLevelItems(top);
  for (int folder : opened) {
    if (folder >= db.FolderCount) continue;
    QTreeWidgetItem* item = Reveal(db, FolderKey(folder));
    if (!item) continue;
    Populate(db, folder);
    item->setExpanded(true);
  }
}

QTreeWidgetItem* FolderTree::MakeFolderItem(const Database& db, int folder, bool hasContents) {
  auto* item = new KeyedItem(ShortenName(db.Folders[folder].Name, db.MaxListString));
  item->setIcon(0, iconFor_(db.Folders[folder].Icon));
  Register(item, FolderKey(folder));
  ShowHighlight(item, folder);
  // A folder with sub-folders but no records can be opened too.
  if (hasContents) AddPlaceholder(item);
  return item;
}

QTreeWidgetItem* FolderTree::MakeRecordItem(const Database& db, int record) {
  auto* item = new KeyedItem(QString());
  ShowRecordOn(item, db, record);
  Register(item, RecordKey(record));
  return item;
}

void FolderTree::ShowRecordOn(QTreeWidgetItem* item, const Database& db, int record) {
  const QString text = ShortenName(RecordTitleLine(db, record), db.MaxListString);
  if (item->text(0) != text) item->setText(0, text);
  const int form = db.Records[record].Form;
  const QIcon icon = form >= 0 && form < db.FormCount ? iconFor_(db.Forms[form].Icon) : QIcon();
  // Setting an equal icon again would still cost the view a change.
  if (item->icon(0).cacheKey() != icon.cacheKey()) item->setIcon(0, icon);
  if (item->font(0).bold() != db.RecordMarks[record]) {
    QFont font = item->font(0);
    font.setBold(db.RecordMarks[record]);
    item->setFont(0, font);
  }
}

bool FolderTree::UpdateRecordNodes(const Database& db, const std::vector<int>& records) {
  std::vector<QTreeWidgetItem*> items;
  items.reserve(records.size());
  // The records of a sort share one folder: its node is looked up once.
  int folderOfLast = BufferFolder;
  const QTreeWidgetItem* folderNode = nullptr;
  for (int record : records) {
    if (record < 0 || record >= db.RecordCount) return false;
    const int folder = db.Records[record].Folder;
    if (folder != folderOfLast) {
      folderOfLast = folder;
      folderNode = folder != BufferFolder && Loaded(folder) ? Node(FolderKey(folder)) : nullptr;
    }
    QTreeWidgetItem* item = nodes_.Record(record);
    if (item ? item->parent() != folderNode || !folderNode : folderNode != nullptr) return false;
    items.push_back(item);
  }
  {
    // The view would look for each changed node's row, one by one: it is
    // told once, when all are done.
    const QSignalBlocker quiet(tree_.model());
    for (std::size_t i = 0; i < records.size(); ++i) {
      if (items[i]) ShowRecordOn(items[i], db, records[i]);
    }
  }
  tree_.viewport()->update();
  return true;
}

QTreeWidgetItem* FolderTree::ParentNodeOf(const Database& db, int folder) const {
  const int parent = db.Folders[folder].Parent;
  if (parent == TopLevelParent) return tree_.invisibleRootItem();
  return IsFolderIndex(db, parent) && Loaded(parent) ? Node(FolderKey(parent)) : nullptr;
}

void FolderTree::AddFolderNode(const Database& db, int folder) {
  // A parent not shown, or not loaded yet, brings the node with its contents.
  QTreeWidgetItem* parentItem = ParentNodeOf(db, folder);
  if (!parentItem) return;
  // Among its sibling folders in ascending index; records follow the folders.
  int position = 0;
  for (; position < parentItem->childCount(); ++position) {
    const NodeKey key = ParseKey(KeyOf(parentItem->child(position)));
    if (key.kind != u"root" || key.index > folder) break;
  }
  const bool hasContents = !RecordsOf(db, folder).empty() || HasSubfolders(db, folder);
  parentItem->insertChild(position, MakeFolderItem(db, folder, hasContents));
}

bool FolderTree::Loaded(int folder) const {
  const QTreeWidgetItem* item = Node(FolderKey(folder));
  return item && !IsPlaceholder(item->child(0));
}

void FolderTree::Populate(const Database& db, int folder) {
  QTreeWidgetItem* item = Node(FolderKey(folder));
  if (!item || !IsPlaceholder(item->child(0))) return;
  delete item->takeChild(0);
  const FolderContents contents = CountFolderContents(db);
  QList<QTreeWidgetItem*> children;
  for (int f : SubfoldersOf(db, folder)) {
    children << MakeFolderItem(db, f, contents.records[f] + contents.subfolders[f] > 0);
  }
  for (int r : RecordsOf(db, folder)) children << MakeRecordItem(db, r);
  item->addChildren(children);
}

void FolderTree::AddRecordNode(const Database& db, int record) {
  const int folder = db.Records[record].Folder;
  if (!Loaded(folder)) return;
  QTreeWidgetItem* parent = Node(FolderKey(folder));
  // Right after the folder's nearest record with a lower index; new records
  // mostly go last, so the search starts from the end.
  int position = parent->childCount();
  for (; position > 0; --position) {
    const NodeKey key = ParseKey(KeyOf(parent->child(position - 1)));
    if (key.kind != u"item" || key.index < record) break;
  }
  parent->insertChild(position, MakeRecordItem(db, record));
}

void FolderTree::Follow(const Database& db, const std::vector<int>& records,
                        const std::vector<int>& folders) {
  std::vector<QTreeWidgetItem*> above;
  for (std::size_t r = static_cast<std::size_t>(std::max<int>(db.RecordCount, 0));
       r < nodes_.Records().size(); ++r)
    if (QTreeWidgetItem* node = nodes_.Take({NodeTable::kRecordKind, static_cast<int>(r)}))
      delete node;
  for (std::size_t f = static_cast<std::size_t>(std::max<int>(db.FolderCount, 0));
       f < nodes_.Folders().size(); ++f)
    RemoveNode(FolderKey(static_cast<int>(f)));
  // Parents before their sub-folders, so that each finds its parent's node
  // as it is now.
  std::vector<std::pair<int, int>> byDepth;
  for (int folder : folders) {
    if (IsFolderIndex(db, folder)) byDepth.emplace_back(FolderDepth(db, folder), folder);
  }
  std::sort(byDepth.begin(), byDepth.end());
  for (const auto& [depth, folder] : byDepth) FollowFolder(db, folder);
  for (int record : records) FollowRecord(db, record);
}

void FolderTree::FollowFolder(const Database& db, int folder) {
  QTreeWidgetItem* parent = ParentNodeOf(db, folder);
  if (QTreeWidgetItem* node = Node(FolderKey(folder))) {
    QTreeWidgetItem* shownUnder = node->parent() ? node->parent() : tree_.invisibleRootItem();
    if (shownUnder == parent) {
      UpdateFolderNode(db, folder);
      return;
    }
    RemoveNode(FolderKey(folder));
  }
  if (parent) AddFolderNode(db, folder);
}

void FolderTree::FollowRecord(const Database& db, int record) {
  if (record < 0 || record >= db.RecordCount) return;
  const int folder = db.Records[record].Folder;
  const QTreeWidgetItem* parent =
      IsFolderIndex(db, folder) && Loaded(folder) ? Node(FolderKey(folder)) : nullptr;
  if (QTreeWidgetItem* node = nodes_.Record(record)) {
    if (node->parent() == parent) {
      ShowRecordOn(node, db, record);
      return;
    }
    delete nodes_.Take({NodeTable::kRecordKind, record});
  }
  if (parent) AddRecordNode(db, record);
}

QTreeWidgetItem* FolderTree::Reveal(const Database& db, const QString& key) {
  if (QTreeWidgetItem* item = Node(key)) return item;
  const NodeKey parsed = ParseKey(key);
  int container = -1;
  if (parsed.kind == u"item" && parsed.index >= 0 && parsed.index < db.RecordCount) {
    container = db.Records[parsed.index].Folder;
  } else if (parsed.kind == u"root" && parsed.index >= 0 && parsed.index < db.FolderCount) {
    container = db.Folders[parsed.index].Parent;
  }
  if (container < 0 || container >= db.FolderCount) return nullptr;
  if (!Reveal(db, FolderKey(container))) return nullptr;
  Populate(db, container);
  return Node(key);
}

void FolderTree::UpdateFolderNode(const Database& db, int folder) {
  if (QTreeWidgetItem* item = Node(FolderKey(folder))) {
    item->setText(0, ShortenName(db.Folders[folder].Name, db.MaxListString));
    item->setIcon(0, iconFor_(db.Folders[folder].Icon));
  }
}

void FolderTree::RemoveNode(const QString& key) {
  QTreeWidgetItem* item = nodes_.Take(ParseKey(key));
  if (!item) return;
  // The node's loaded descendants go with it.
  ForgetDescendants(item);
  // Collapsed first, the view drops the node's rows at once rather than
  // one child after another.
  item->setExpanded(false);
  delete item;
}

void FolderTree::ForgetDescendants(QTreeWidgetItem* item) {
  QList<QTreeWidgetItem*> pending{item};
  while (!pending.isEmpty()) {
    QTreeWidgetItem* node = pending.takeLast();
    for (int i = 0; i < node->childCount(); ++i) {
      QTreeWidgetItem* child = node->child(i);
      // A forgotten node may carry a key that another node holds now.
      const NodeKey key = ParseKey(KeyOf(child));
      if (nodes_.Get(key) == child) nodes_.Set(key, nullptr);
      pending << child;
    }
  }
}

}  // namespace orbo
