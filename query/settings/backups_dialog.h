// File > Restore a Backup: the versions saves kept of the open database's
// file, newest first, with when each was saved and what it holds.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QListWidget;
class QPushButton;

namespace orbo {

struct WindowContext;

class BackupsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit BackupsDialog(WindowContext& context);

  // Lets the user choose among the backups of the open database; the chosen
  // one's path, empty when there is none or the dialog was cancelled. Says
  // so when there are no backups.
  QString Choose();

 private:
  // How the list names one backup: when it was saved and its counts, read
  // with the open database's password; an encrypted one only says so.
  QString Describe(const QString& path, const QDateTime& saved) const;

  WindowContext& context_;
  QLabel* intro_;
  QListWidget* list_;
  QPushButton* okButton_;
  QPushButton* cancelButton_;
};

}  // namespace orbo
