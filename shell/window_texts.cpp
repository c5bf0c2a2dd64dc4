#include "shell/window_texts.h"

#include "shell/shell_texts.h"
#include "storage/record_title.h"

namespace orbo {

QString FileNameOf(const QString& path) {
  qsizetype cut = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
  return path.mid(cut + 1);
}

QString WindowTitle(const Database& db, WorkMode mode, int curRecord, const LanguageTexts& texts) {
  QString title = FileNameOf(db.DatabasePath);
  if (db.Modified) title += u'*';
  title += QLatin1String(kProductTitle);
  if (mode == WorkMode::Edit) {
    title += QStringLiteral(" - ") + texts.Get(shell_texts::kFormDesign);
  } else if (curRecord > -1) {
    title += QStringLiteral(" - [") + RecordTitleLine(db, curRecord) + u']';
  }
  return title;
}

QString StatusCountsText(const Database& db, const LanguageTexts& texts) {
  return QStringLiteral("%1: %2          %3: %4")
      .arg(texts.Get(shell_texts::kRecordsCount), QString::number(db.RecordCount - db.BufferCount),
           texts.Get(shell_texts::kFoldersCount), QString::number(db.FolderCount));
}

}  // namespace orbo
