// Everything in the shell that would block a test or reach outside the
// program: message boxes, file, colour and font dialogs, modal windows, the
// printer set-up, the desktop's handling of addresses and files, the media
// player, the end of the program.
// The program uses QtDialogs; tests put in their own.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QUrl>
#include <optional>

#include "shell/language_texts.h"
#include "shell/media_player.h"
#include "shell/message_style.h"

class QDialog;
class QPrinter;
class QWidget;

namespace orbo {

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A message box titled with the product name.
  virtual MessageAnswer ShowMessage(QWidget* parent, const QString& text, MessageStyle style) = 0;
  // Filter in the form "Corvane Database files (*.2db)|*.2db"; start is the
  // folder or file the dialog opens at (empty: the working folder); empty
  // when cancelled.
  virtual QString OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                               const QString& start) = 0;
  virtual QString SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                               const QString& start) = 0;
  // An existing folder, starting at start; empty when cancelled (which is all
  // a double that does not say otherwise does).
  virtual QString ExistingFolder(QWidget* /*parent*/, const QString& /*title*/,
                                 const QString& /*start*/) {
    return {};
  }
  // The text input dialog: the confirmed text, or start when not confirmed.
  virtual QString AskText(QWidget* parent, const LanguageTexts& texts, const QString& prompt,
                          const QString& start, bool password, const QString& browseFilter) = 0;
  virtual int RunModal(QDialog& dialog) = 0;
  // The colour and font dialogs; nothing when cancelled (which is all a
  // double that does not say otherwise does).
  virtual std::optional<QColor> ChooseColor(QWidget* /*parent*/, const QColor& /*start*/) {
    return std::nullopt;
  }
  virtual std::optional<QFont> ChooseFont(QWidget* /*parent*/, const QFont& /*start*/) {
    return std::nullopt;
  }
  // The printer set-up dialog: chooses the printer (or a PDF file) and the
  // paper of printer; false when cancelled.
  virtual bool PrinterSetup(QWidget* parent, QPrinter& printer) = 0;
  // Hands an address or file to the desktop; false when nothing opened it.
  virtual bool OpenUrl(const QUrl& url) = 0;
  virtual MediaPlayer& Media() = 0;
  // A working file could not be opened: tell the user and end at once.
  virtual void Fatal(const QString& message) = 0;
};

// "Name (*.x)|*.x|..." as a Qt file dialog filter.
QString QtFileFilter(const QString& filter);

}  // namespace orbo
