// The keys that name the nodes of the folder tree and the contents list:
// "root" & n for folder n, "item" & n for record n.
#pragma once

#include <QString>

namespace orbo {

QString FolderKey(int folder);
QString RecordKey(int record);
// "root"/"item" and the number behind it; kind is empty for other keys.
struct NodeKey {
  QString kind;
  int index = -1;
};
NodeKey ParseKey(const QString& key);

}  // namespace orbo
