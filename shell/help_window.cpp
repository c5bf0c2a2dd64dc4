#include "shell/help_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/help_pages.h"
#include "shell/language_texts.h"
#include "shell/named_widget.h"
#include "shell/shell_texts.h"
#include "shell/window_texts.h"

namespace orbo {

HelpWindow::HelpWindow(QWidget* parent, const LanguageTexts& texts)
    : QDialog(parent), texts_(texts) {
  setObjectName("HelpForm");
  setWindowTitle(QLatin1String(kProductName));
  search_ = NamedWidget<QLineEdit>("HelpSearch", this);
  search_->setClearButtonEnabled(true);
  contents_ = NamedWidget<QListWidget>("HelpContents", this);
  // A long title wraps rather than hiding its end.
  contents_->setWordWrap(true);
  contents_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  browser_ = NamedWidget<QTextBrowser>("HelpText", this);
  browser_->setOpenExternalLinks(false);

  auto* side = new QWidget(this);
  auto* sideLayout = new QVBoxLayout(side);
  sideLayout->setContentsMargins(0, 0, 0, 0);
  sideLayout->addWidget(search_);
  sideLayout->addWidget(contents_);
  auto* splitter = new QSplitter(this);
  splitter->addWidget(side);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({280, 600});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);
  resize(900, 620);

  connect(search_, &QLineEdit::textChanged, this, &HelpWindow::Filter);
  // Return opens the first page found.
  connect(search_, &QLineEdit::returnPressed, this, [this] {
    for (int i = 0; i < contents_->count(); ++i) {
      if (!contents_->item(i)->isHidden()) return contents_->setCurrentRow(i);
    }
  });
  connect(contents_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
    if (item && item->data(Qt::UserRole).toString() != ShownPage())
      browser_->setSource(
          QUrl::fromLocalFile(QDir(folder_).filePath(item->data(Qt::UserRole).toString())));
  });
  // A link followed inside a page marks that page in the contents.
  // The signal comes before source() tells the new page, so its own is used.
  connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::MarkPage);
}

void HelpWindow::ShowTopic(const QString& folder, int topic) {
  // The language may have changed since the last time.
  search_->setPlaceholderText(texts_.Get(shell_texts::kSearchHelp));
  if (folder != folder_) ReadPages(folder);
  const QString page = QDir(folder_).filePath(HelpPageFile(topic));
  if (QFileInfo(page).absoluteFilePath() !=
      QFileInfo(browser_->source().toLocalFile()).absoluteFilePath())
    browser_->setSource(QUrl::fromLocalFile(page));  // marks it when shown
  else
    MarkPage(browser_->source());  // the contents may have been read again
  ComeForward();
}

void HelpWindow::MarkPage(const QUrl& source) {
  const QString shown = QFileInfo(source.toLocalFile()).fileName();
  for (int i = 0; i < contents_->count(); ++i) {
    if (contents_->item(i)->data(Qt::UserRole).toString() == shown) {
      QSignalBlocker quiet(contents_);
      contents_->setCurrentRow(i);
    }
  }
}

QString HelpWindow::ShownPage() const {
  return QFileInfo(browser_->source().toLocalFile()).fileName();
}

void HelpWindow::ReadPages(const QString& folder) {
  folder_ = folder;
  QSignalBlocker quiet(contents_);
  contents_->clear();
  words_.clear();
  for (const HelpPage& page : HelpPages()) {
    QFile file(QDir(folder).filePath(QString::fromLatin1(page.file)));
    if (!file.open(QIODevice::ReadOnly)) continue;
    const QString html = QString::fromUtf8(file.readAll());
    auto* item = new QListWidgetItem(HelpPageTitle(html), contents_);
    item->setData(Qt::UserRole, QString::fromLatin1(page.file));
    words_ << HelpPageWords(html);
  }
  Filter(search_->text());
}

void HelpWindow::Filter(const QString& search) {
  for (int i = 0; i < contents_->count(); ++i)
    contents_->item(i)->setHidden(!HelpPageHolds(words_.value(i), search));
}

void HelpWindow::ComeForward() {
  // Asked for from a modal dialog (Find, the welcome dialog), the help must
  // come above it and take input, which no other window can then: it is
  // modal itself until it closes. Modality changes only while hidden.
  QWidget* modal = QApplication::activeModalWidget();
  const Qt::WindowModality modality = modal && modal != this ? Qt::ApplicationModal : Qt::NonModal;
  if (modality != windowModality()) {
    hide();
    setWindowModality(modality);
  }
  show();
  raise();
  activateWindow();
}

}  // namespace orbo
