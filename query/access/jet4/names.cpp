#include "query/access/jet4/names.h"

#include <QSet>
#include <functional>

#include "query/access/jet4/index_keys.h"
#include "query/access/jet4/system_tables.h"

namespace orbo::jet4 {

namespace {

using CharacterRule = std::function<bool(QChar)>;
using Identity = std::function<QString(const QString&)>;

bool Forbidden(QChar c) {
  return c.category() == QChar::Other_Control || c == u'.' || c == u'!' || c == u'`' || c == u'[' ||
         c == u']';
}

QString Truncated(QString name, qsizetype length) {
  if (name.size() <= length) return name;
  name.truncate(length);
  if (!name.isEmpty() && name.back().isHighSurrogate()) name.chop(1);
  return name;
}

QString Cleaned(const QString& requested, const CharacterRule& allowed, const QString& fallback) {
  QString name = requested;
  for (qsizetype i = 0; i < name.size(); ++i) {
    const bool paired =
        name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate();
    if (paired && allowed(name[i]) && allowed(name[i + 1])) {
      ++i;
    } else if (name[i].isSurrogate() || Forbidden(name[i]) || !allowed(name[i])) {
      name[i] = u'_';
    }
  }
  qsizetype blanks = 0;
  while (blanks < name.size() && name[blanks] == u' ') ++blanks;
  name = Truncated(name.mid(blanks), kMaxNameLength);
  return name.isEmpty() ? fallback : name;
}

// Keeps the first of equal names, then gives the others "_2", "_3", ...
std::vector<QString> Distinct(std::vector<QString> names, const Identity& identity,
                              QSet<QString> taken) {
  std::vector<bool> duplicate(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const QString id = identity(names[i]);
    duplicate[i] = taken.contains(id);
    taken.insert(id);
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (!duplicate[i]) continue;
    QString candidate;
    for (int n = 2; candidate.isEmpty() || taken.contains(identity(candidate)); ++n) {
      const QString suffix = QStringLiteral("_%1").arg(n);
      candidate = Truncated(names[i], kMaxNameLength - suffix.size()) + suffix;
    }
    names[i] = candidate;
    taken.insert(identity(candidate));
  }
  return names;
}

std::vector<QString> Acceptable(const std::vector<QString>& requested, const CharacterRule& allowed,
                                const QString& fallbackStem, const Identity& identity,
                                const QSet<QString>& reserved) {
  std::vector<QString> names;
  names.reserve(requested.size());
  for (std::size_t i = 0; i < requested.size(); ++i)
    names.push_back(Cleaned(requested[i], allowed, fallbackStem + QString::number(i + 1)));
  return Distinct(std::move(names), identity, reserved);
}

}  // namespace

std::vector<QString> AcceptableTableNames(const std::vector<QString>& requested) {
  // Equal keys in the unique catalog index are what must not repeat.
  const Identity key = [](const QString& name) {
    return QString::fromLatin1(TextKey(name).toHex());
  };
  QSet<QString> reserved;
  for (const SystemTable& table : SystemTables()) reserved.insert(key(table.name));
  return Acceptable(requested, IsKeyCharacter, QStringLiteral("Table"), key, reserved);
}

std::vector<QString> AcceptableColumnNames(const std::vector<QString>& requested) {
  return Acceptable(
      requested, [](QChar) { return true; }, QStringLiteral("Field"),
      [](const QString& name) { return name.toCaseFolded(); }, {});
}

}  // namespace orbo::jet4
