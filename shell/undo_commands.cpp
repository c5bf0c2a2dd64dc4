#include "shell/undo_commands.h"

#include <QAction>

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
  struct Words {
    TextId plain, item, tip, none;
  };
  auto follow = [this](QAction* action, bool can, const QString& step, const Words& words) {
    action->setEnabled(can);
    // A step's own "&" would become the item's access key.
    action->setText(can ? texts_.Get(words.item)
                              .arg(QString(step).replace(QStringLiteral("&"), QStringLiteral("&&")))
                        : texts_.Get(words.plain));
    action->setToolTip(can ? texts_.Get(words.tip).arg(step) : texts_.Get(words.none));
  };
  follow(commands_.Menu("mnuUndo"), stack.CanUndo(), stack.UndoText(),
         {shell_texts::kUndoItem, shell_texts::kUndoStepItem, shell_texts::kUndoStep,
          shell_texts::kNothingToUndo});
  follow(commands_.Menu("mnuRedo"), stack.CanRedo(), stack.RedoText(),
         {shell_texts::kRedoItem, shell_texts::kRedoStepItem, shell_texts::kRedoStep,
          shell_texts::kNothingToRedo});
}

}  // namespace orbo
