// Tools › Language: one item per language file; the chosen one is read at
// start-up with the code page its users' files use, and a new choice is
// written to current.dat for the next start.
#pragma once

#include <QStringList>
#include <QTranslator>
#include <functional>

#include "shell/language_texts.h"
#include "shell/working_files.h"

namespace orbo {

class MainCommands;
class StorageAdapter;
class WindowServices;

class LanguageMenu {
 public:
  // onTextsApplied: the rest of the window shows the texts the menus just
  // took, at start-up and after a switch.
  LanguageMenu(MainCommands& commands, const WorkingFiles& files, LanguageTexts& texts,
               StorageAdapter& storage, WindowServices& services,
               std::function<void()> onTextsApplied);

  // Fills the menu and loads the language current.dat names.
  void Load();

 private:
  void Choose(int index);
  // Loads a language file's texts, the code page it names and Qt's own
  // words (the standard dialogs' buttons and labels) for its locale.
  void LoadLanguage(const QStringList& lines);
  void LoadQtTranslation();
  void ApplyTexts();

  MainCommands& commands_;
  const WorkingFiles& files_;
  LanguageTexts& texts_;
  StorageAdapter& storage_;
  WindowServices& services_;
  std::function<void()> onTextsApplied_;
  int current_ = -1;
  QTranslator qtTexts_;
};

}  // namespace orbo
