// Edit › Undo and Redo, and their buttons on both toolbars: they take back
// and do again the funnel's steps, are enabled when there is a step, and
// their captions and tooltips name it ("Undo Delete the folder").
#pragma once

#include <QObject>

namespace orbo {

class CommandFunnel;
class LanguageTexts;
class MainCommands;

class UndoCommands : public QObject {
 public:
  UndoCommands(MainCommands& commands, CommandFunnel& funnel, const LanguageTexts& texts);

  // Captions follow the stack; also after the language changed.
  void Update();

 private:
  MainCommands& commands_;
  CommandFunnel& funnel_;
  const LanguageTexts& texts_;
};

}  // namespace orbo
