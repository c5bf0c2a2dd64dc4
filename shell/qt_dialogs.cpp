#include "shell/qt_dialogs.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPrintDialog>
#include <QStyle>
#include <cstdio>
#include <cstdlib>

#include "shell/input_dialog.h"
#include "shell/qt_media_player.h"
#include "shell/window_texts.h"

namespace orbo {

QString QtFileFilter(const QString& filter) {
  QStringList parts = filter.split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i];
    // The pattern is given twice in the classic form; Qt wants it once, in brackets.
    if (!name.contains(u'(')) name += QStringLiteral(" (%1)").arg(parts[i + 1]);
    filters << name;
  }
  return filters.join(QStringLiteral(";;"));
}

namespace {

// A short message makes a box narrower than its title, which the title bar
// then cuts ("Corva... base"): a row as wide as the title, and room for the
// title bar's icon and three buttons and its margins, keeps it whole. The
// style's sizes stand in for the desktop's, which Qt cannot ask.
void KeepTitleWhole(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid) return;
  const QStyle* style = box.style();
  const int titleBar = 4 * style->pixelMetric(QStyle::PM_TitleBarButtonSize, nullptr, &box) +
                       2 * style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
  const int width = box.fontMetrics().horizontalAdvance(box.windowTitle()) + titleBar;
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

QtDialogs::QtDialogs() : autoAnswer_(qEnvironmentVariable("ORBO_MESSAGES") == u"auto") {}

MessageAnswer QtDialogs::ShowMessage(QWidget* parent, const QString& text, MessageStyle style) {
  const bool question = style.IsQuestion();
  const bool noFirst = question && style.noByDefault;
  if (autoAnswer_) {
    std::fprintf(stderr, "message: %s\n", qPrintable(QString(text).replace(u'\r', u' ')));
    return question ? (noFirst ? kAnswerNo : kAnswerYes) : kAnswerOk;
  }
  QMessageBox box(parent);
  box.setWindowTitle(QLatin1String(kProductName));
  box.setText(
      QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n'));
  if (style.warning) box.setIcon(QMessageBox::Warning);
  if (question) {
    box.setStandardButtons(style.buttons == MessageStyle::Buttons::YesNo
                               ? QMessageBox::Yes | QMessageBox::No
                               : QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(noFirst ? QMessageBox::No : QMessageBox::Yes);
    box.setIcon(QMessageBox::Question);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  KeepTitleWhole(box);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return kAnswerYes;
    case QMessageBox::No:
      return kAnswerNo;
    case QMessageBox::Cancel:
      return kAnswerCancel;
    default:
      return kAnswerOk;
  }
}

QtDialogs::~QtDialogs() = default;

QString QtDialogs::OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                const QString& start) {
  return QFileDialog::getOpenFileName(parent, title, start, QtFileFilter(filter));
}

QString QtDialogs::ExistingFolder(QWidget* parent, const QString& title, const QString& start) {
  return QFileDialog::getExistingDirectory(parent, title, start);
}

QString QtDialogs::SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                const QString& start) {
  return QFileDialog::getSaveFileName(parent, title, start, QtFileFilter(filter));
}

QString QtDialogs::AskText(QWidget* parent, const LanguageTexts& texts, const QString& prompt,
                           const QString& start, bool password, const QString& browseFilter) {
  // Made for each question and owned here alone: a dialog kept between
  // questions would also be deleted by its parent, and a password typed into
  // it stays nowhere but with the caller.
  InputDialog input(parent);
  input.Prepare(texts, prompt, start, password, browseFilter,
                [this, &input](const QString& filter) {
                  return OpenFileName(&input, QString(), filter, QString());
                });
  input.exec();
  QString answer = input.Result();
  if (password) input.Forget();
  return answer;
}

int QtDialogs::RunModal(QDialog& dialog) { return dialog.exec(); }

std::optional<QColor> QtDialogs::ChooseColor(QWidget* parent, const QColor& start) {
  const QColor chosen = QColorDialog::getColor(start, parent);
  return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
}

std::optional<QFont> QtDialogs::ChooseFont(QWidget* parent, const QFont& start) {
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, start, parent);
  return ok ? std::optional<QFont>(chosen) : std::nullopt;
}

// The platform's print dialog also offers printing to a PDF file.
bool QtDialogs::PrinterSetup(QWidget* parent, QPrinter& printer) {
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

bool QtDialogs::OpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

MediaPlayer& QtDialogs::Media() {
  if (!media_) media_ = std::make_unique<QtMediaPlayer>();
  return *media_;
}

void QtDialogs::Fatal(const QString& message) {
  std::fprintf(stderr, "%s\n", qPrintable(message));
  if (!autoAnswer_) QMessageBox::critical(nullptr, QString(), message);
  std::exit(1);
}

}  // namespace orbo
