#include "shell/help_pages.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextDocumentFragment>

namespace orbo {

const std::vector<HelpPage>& HelpPages() {
  using namespace help_topics;
  static const std::vector<HelpPage> pages{
      {kContents, "index.html"},    {kStart, "start.html"},        {kMainWindow, "window.html"},
      {kNone, "first-form.html"},   {kNone, "keyboard.html"},      {kDesign, "design.html"},
      {kFind, "find.html"},         {kNone, "quick-filter.html"},  {kSort, "sort.html"},
      {kPrint, "print.html"},       {kNone, "csv-import.html"},    {kExchange, "exchange.html"},
      {kNone, "undo.html"},         {kNone, "backups.html"},       {kNone, "recovery.html"},
      {kPassword, "password.html"}, {kNone, "missing-files.html"}, {kOptions, "options.html"}};
  return pages;
}

QString HelpPageFile(int topic) {
  for (const HelpPage& page : HelpPages()) {
    if (page.topic == topic && topic != help_topics::kNone) return QString::fromLatin1(page.file);
  }
  return QString::fromLatin1(HelpPages().front().file);
}

QString HelpFolder(const QString& root, const QString& locale) {
  const QString own = QDir(root).filePath(locale);
  const bool has = !locale.isEmpty() && !locale.contains(u'/') && !locale.contains(u'\\') &&
                   !locale.startsWith(u'.') &&
                   QFileInfo(QDir(own).filePath(HelpPageFile(help_topics::kContents))).isFile();
  return has ? own : QDir(root).filePath(QStringLiteral("en"));
}

QString HelpPageTitle(const QString& html) {
  static const QRegularExpression title(
      QStringLiteral("<title>(.*?)</title>"),
      QRegularExpression::DotMatchesEverythingOption | QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = title.match(html);
  return match.hasMatch()
             ? QTextDocumentFragment::fromHtml(match.captured(1)).toPlainText().simplified()
             : QString();
}

QString HelpPageWords(const QString& html) {
  return QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
}

bool HelpPageHolds(const QString& pageWords, const QString& search) {
  const QStringList words = search.split(u' ', Qt::SkipEmptyParts);
  return std::all_of(words.begin(), words.end(), [&pageWords](const QString& word) {
    return pageWords.contains(word, Qt::CaseInsensitive);
  });
}

}  // namespace orbo
