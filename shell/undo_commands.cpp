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
  connect(&funnel_, &CommandFunnel::stepsChanged, this, [this] { Update(); });
  Update();
}

void UndoCommands::Update() {
  const StepStack& stack = funnel_.Stack();
  auto follow = [this](QAction* action, bool can, const QString& step, TextId named, TextId none) {
    action->setEnabled(can);
    action->setToolTip(can ? texts_.Get(named).arg(step) : texts_.Get(none));
  };
  follow(commands_.Menu("mnuUndo"), stack.CanUndo(), stack.UndoText(), shell_texts::kUndoStep,
         shell_texts::kNothingToUndo);
  follow(commands_.Menu("mnuRedo"), stack.CanRedo(), stack.RedoText(), shell_texts::kRedoStep,
         shell_texts::kNothingToRedo);
  // Like every menu, Edit opens only when it offers something.
  commands_.Submenu("mnuEdit")->menuAction()->setEnabled(stack.CanUndo() || stack.CanRedo());
}

}  // namespace orbo
