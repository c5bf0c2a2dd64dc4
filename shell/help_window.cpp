#include "shell/help_window.h"

#include <QApplication>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/named_widget.h"
#include "shell/window_texts.h"

namespace orbo {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("HelpForm");
  setWindowTitle(QLatin1String(kProductName));
  browser_ = NamedWidget<QTextBrowser>("HelpText", this);
  browser_->setOpenExternalLinks(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(720, 560);
}

void HelpWindow::ShowTopic(const QString& page, int topic) {
  anchor_ = topic == 0 ? QString() : QStringLiteral("topic%1").arg(topic);
  QUrl url = QUrl::fromLocalFile(page);
  url.setFragment(anchor_);
  browser_->setSource(url);
  if (!anchor_.isEmpty()) browser_->scrollToAnchor(anchor_);
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
