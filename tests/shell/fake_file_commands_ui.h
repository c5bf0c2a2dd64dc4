// A FileCommandsUi that plays the window for the file commands' tests.
#pragma once

#include <QMap>
#include <QStringList>

#include "sample_databases.h"
#include "shell/file_commands_ui.h"

namespace orbo::test {

// Plays the window: answers from its fields, and logs what it was asked.
class FakeUi : public FileCommandsUi {
 public:
  explicit FakeUi(Database& db) : db_(db) {}

  QString openPath;
  QString savePath;
  QString password;
  // Answers to the password questions in turn, before password.
  QStringList passwords;
  MessageAnswer answer = kAnswerOk;
  bool iconsCopy = true;
  bool suppressed = false;
  QStringList messages;
  QStringList recent;
  QStringList calls;
  int backups = 0;
  FileIdentity known;
  QString language = QString::fromLatin1(kDefaultCodePage);
  // The code pages remembered, by canonical path.
  QMap<QString, QString> codePages;

  QString AskOpenPath(TextId) override { return openPath; }
  QString AskSavePath(TextId) override { return savePath; }
  QString AskPassword() override { return passwords.isEmpty() ? password : passwords.takeFirst(); }
  MessageAnswer ShowMessage(const QString& text, MessageStyle style) override {
    // The buttons and icon as one word after the text.
    const char* kind = style.buttons == MessageStyle::Buttons::YesNoCancel ? "yes-no-cancel"
                       : style.buttons == MessageStyle::Buttons::YesNo     ? "yes-no"
                                                                           : "ok";
    messages << QStringLiteral("%1|%2%3%4")
                    .arg(text, kind, style.warning ? "!" : "", style.noByDefault ? " no" : "");
    return answer;
  }
  QString GetText(TextId id) override {
    const auto [group, entry] = id;
    // The repair and code page texts carry a place for their number or name.
    const bool takesANumberOrName = (group == 962 && (entry == 0 || entry == 2 || entry == 4)) ||
                                    (group == 968 && entry == 0) || group == 974 ||
                                    (group == 985 && entry == 0);
    if ((group == 985 && entry == 1) || group == 986)
      return QStringLiteral("t%1/%2").arg(group).arg(entry) + QStringLiteral(" %1 %2");
    return QStringLiteral("t%1/%2").arg(group).arg(entry) + (takesANumberOrName ? " %1" : "");
  }
  void ShowProgress(int, const QString&) override {}
  void SetModified(bool value) override { db_.Modified = value; }
  // A step marks the database modified when it changed it, as the undo stack does.
  void ChangeAsStep(const QString&, const std::function<void()>& change) override {
    const Database before = db_;
    change();
    if (!ModelDifference(before, db_).isEmpty()) db_.Modified = true;
  }
  void SetEventsSuppressed(bool value) override { suppressed = value; }
  void UpdateTitle() override { calls << QStringLiteral("title"); }
  void AddRecentFile(const QString& path) override { recent << path; }
  QString LanguageCodePage() override { return language; }
  QString KnownCodePage(const QString& path) override { return codePages.value(path); }
  void RememberCodePage(const QString& path, const QString& name) override {
    codePages[path] = name;
  }
  void NewDatabase() override { db_ = ExampleDatabase(); }
  bool CopyCompanionIcons(const QString&) override { return iconsCopy; }
  void EnsureIcons() override { calls << QStringLiteral("icons"); }
  void ShowDatabase() override { calls << QStringLiteral("show"); }
  void RefreshWindow() override {}
  int BackupsToKeep() override { return backups; }
  KeyCost SealCost() override { return KeyCost::Least(); }
  FileIdentity KnownFile() override { return known; }
  void SetKnownFile(const FileIdentity& file) override { known = file; }

 private:
  Database& db_;
};

}  // namespace orbo::test
