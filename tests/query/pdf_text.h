// The text of a PDF's pages and where its words stand, as pdftotext reads
// them.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

// The output of a poppler tool, or nothing when it is missing or fails.
inline QByteArray RunPdfTool(const char* name, const QStringList& arguments) {
  const QString tool = QStandardPaths::findExecutable(QString::fromLatin1(name));
  if (tool.isEmpty()) return {};
  QProcess process;
  process.start(tool, arguments);
  if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
  return process.readAllStandardOutput();
}

// One entry per page, ligatures spelled out; nothing when pdftotext is
// missing or fails.
inline QStringList PdfPages(const QString& path) {
  QStringList pages = QString::fromUtf8(RunPdfTool("pdftotext", {QStringLiteral("-layout"), path,
                                                                 QStringLiteral("-")}))
                          .normalized(QString::NormalizationForm_KC)
                          .split(u'\f');
  // pdftotext ends every page with a form feed.
  if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
  return pages;
}

// The words of the first page as "word@x,y": the top-left corner of each
// in points from the paper's top-left corner, to a tenth.
inline QStringList PdfWordPlaces(const QString& path) {
  const QString html =
      QString::fromUtf8(RunPdfTool("pdftotext", {QStringLiteral("-bbox"), QStringLiteral("-l"),
                                                 QStringLiteral("1"), path, QStringLiteral("-")}));
  static const QRegularExpression word(
      QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re"));
  QStringList places;
  for (const QRegularExpressionMatch& m : word.globalMatch(html)) {
    places << QStringLiteral("%1@%2,%3")
                  .arg(m.captured(3))
                  .arg(m.captured(1).toDouble(), 0, 'f', 1)
                  .arg(m.captured(2).toDouble(), 0, 'f', 1);
  }
  return places;
}

inline bool HavePdfToText() {
  return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}
