#include "shell/unencrypted_export.h"

#include "shell/window_context.h"

namespace orbo {

bool MayExportUnencrypted(WindowContext& context, TextId question) {
  if (!IsEncrypted(context.db)) return true;
  // What is written cannot be taken back: a reflexive Enter writes nothing.
  return context.services.ShowMessage(context.texts.Get(question),
                                      kYesNo.Warning().NoByDefault()) == kAnswerYes;
}

}  // namespace orbo
