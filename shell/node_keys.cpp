#include "shell/node_keys.h"

namespace orbo {

QString FolderKey(int folder) { return QStringLiteral("root") + QString::number(folder); }
QString RecordKey(int record) { return QStringLiteral("item") + QString::number(record); }

NodeKey ParseKey(const QString& key) {
  const QString kind = key.left(4);
  if (kind != u"root" && kind != u"item") return {};
  bool ok = false;
  const int index = key.mid(4).toInt(&ok);
  return ok ? NodeKey{kind, index} : NodeKey{};
}

}  // namespace orbo
