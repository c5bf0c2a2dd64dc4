// The text of a PDF's pages, as pdftotext reads them.
#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

// One entry per page, ligatures spelled out; nothing when pdftotext is
// missing or fails.
inline QStringList PdfPages(const QString& path) {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (tool.isEmpty()) return {};
  QProcess process;
  process.start(tool, {QStringLiteral("-layout"), path, QStringLiteral("-")});
  if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
  QStringList pages = QString::fromUtf8(process.readAllStandardOutput())
                          .normalized(QString::NormalizationForm_KC)
                          .split(u'\f');
  // pdftotext ends every page with a form feed.
  if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
  return pages;
}

inline bool HavePdfToText() {
  return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}
