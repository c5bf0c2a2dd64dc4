#include "shell/handover.h"

namespace orbo {

QString HandOverLine(const QString& commandLine) {
  return commandLine.isEmpty() ? QStringLiteral("UPDATE") : QStringLiteral("LOAD") + commandLine;
}

HandOverRequest ParseHandOverLine(const QString& line) {
  if (line.startsWith(QLatin1String("UPDA"))) return {HandOverRequest::Update, {}};
  if (line.startsWith(QLatin1String("LOAD"))) return {HandOverRequest::Load, line.mid(4)};
  return {};
}

}  // namespace orbo
