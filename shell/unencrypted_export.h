// Exports write the records as they are. From an encrypted database that is
// news to the user, who is asked once, before anything is written.
#pragma once

#include "storage/text_id.h"

namespace orbo {

struct WindowContext;

// Whether the export may write: always for a database that is not
// encrypted; for an encrypted one, when the user answers Yes to question,
// which names what would be written in the clear.
bool MayExportUnencrypted(WindowContext& context, TextId question);

}  // namespace orbo
