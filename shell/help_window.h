// The program's manual: its contents beside the page shown, a search box
// above them that keeps only the pages holding every word typed, and the
// pages from the program folder's help/ in the interface language.
#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class QTextBrowser;
class QUrl;

namespace orbo {

class LanguageTexts;

class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  HelpWindow(QWidget* parent, const LanguageTexts& texts);

  // Shows the page of topic from folder (help/en), above a modal dialog
  // that asked for it.
  void ShowTopic(const QString& folder, int topic);
  // The file of the page shown.
  QString ShownPage() const;

 private:
  void ReadPages(const QString& folder);
  void Filter(const QString& search);
  // The contents mark the page at source.
  void MarkPage(const QUrl& source);
  void ComeForward();

  const LanguageTexts& texts_;
  QLineEdit* search_;
  QListWidget* contents_;
  QTextBrowser* browser_;
  QString folder_;
  // Each listed page's words, for the search.
  QStringList words_;
};

}  // namespace orbo
