// What the folder tree and the contents list show of a record: its title
// (shortened), its form's icon, bold when marked, and its node key.
#pragma once

#include <QIcon>
#include <QVariant>
#include <functional>

namespace orbo {

struct Database;

using IconFor = std::function<QIcon(const QString& iconKey)>;

// The role that carries a row's node key ("root" & n, "item" & n).
inline constexpr int kNodeKeyRole = Qt::UserRole;

QVariant RecordNodeData(const Database& db, const IconFor& iconFor, int record, int role);
// The font of a row drawn apart.
QFont BoldFont();

}  // namespace orbo
