#include "shell/undo_commands.h"

#include <QAction>
#include <QMenu>

#include "shell/command_funnel.h"
#include "shell/language_texts.h"
#include "shell/main_commands.h"
#include "shell/shell_texts.h"

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
  auto follow = [this](QAction* action, bool can, const QString& step, TextId named, TextId none) {
    action->setEnabled(can);
    action->setToolTip(can ? texts_.Get(named).arg(step) : texts_.Get(none));
  };
  follow(commands_.Menu("mnuUndo"), stack.canUndo(), stack.undoText(), shell_texts::kUndoStep,
         shell_texts::kNothingToUndo);
  follow(commands_.Menu("mnuRedo"), stack.canRedo(), stack.redoText(), shell_texts::kRedoStep,
         shell_texts::kNothingToRedo);
  // Like every menu, Edit opens only when it offers something.
  commands_.Submenu("mnuEdit")->menuAction()->setEnabled(stack.canUndo() || stack.canRedo());
}

}  // namespace orbo
