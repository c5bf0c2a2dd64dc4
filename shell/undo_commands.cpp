#include "shell/undo_commands.h"

#include <QAction>
#include <QMenu>

#include "shell/command_funnel.h"
#include "shell/language_texts.h"
#include "shell/main_commands.h"

namespace orbo {
UndoCommands::UndoCommands(MainCommands& commands, CommandFunnel& funnel,
                           const LanguageTexts& texts)
    : commands_(commands), funnel_(funnel), texts_(texts) {
  commands_.OnTriggered(commands_.Menu("mnuUndo"), [this] { funnel_.Undo(); });
  commands_.OnTriggered(commands_.Menu("mnuRedo"), [this] { funnel_.Redo(); });
  QUndoStack& stack = funnel_.Stack();
  connect(&stack, &QUndoStack::indexChanged, this, [this] { Update(); });
  connect(&stack, &QUndoStack::cleanChanged, this, [this] { Update(); });
  Update();
}

void UndoCommands::Update() {
  const QUndoStack& stack = funnel_.Stack();
  auto follow = [this](QAction* action, bool can, const QString& step, int named, int none) {
    action->setEnabled(can);
    action->setToolTip(can ? texts_.Get(kUndoTexts, named).arg(step)
                           : texts_.Get(kUndoTexts, none));
  };
  follow(commands_.Menu("mnuUndo"), stack.canUndo(), stack.undoText(), 2, 4);
  follow(commands_.Menu("mnuRedo"), stack.canRedo(), stack.redoText(), 3, 5);
  // Like every menu, Edit opens only when it offers something.
  commands_.Submenu("mnuEdit")->menuAction()->setEnabled(stack.canUndo() || stack.canRedo());
}

}  // namespace orbo
