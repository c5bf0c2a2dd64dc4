// What the user is told about a model that cannot be saved as it is: the
// record, folder or form concerned, named as the window names it.
#pragma once

#include "shell/language_texts.h"
#include "storage/model_invariants.h"
#include "storage/storable_text.h"

namespace orbo {

QString UserProblemText(const Database& db, const ModelProblem& problem,
                        const LanguageTexts& texts);
QString UserPlaceText(const Database& db, const TextPlace& place, const LanguageTexts& texts);

}  // namespace orbo
