// After a database is opened: when files its records name are missing, says
// how many and offers to look for them in a folder the user names. The
// records keep their names until the user agrees to the files found, and
// then change as one undo step.
#pragma once

#include <QString>

namespace orbo {

class FileCommandsUi;
struct WindowContext;

void OfferToFindMissingFiles(WindowContext& context);
// Loads the database at path (asks for one when empty), then makes the offer.
void OpenDatabase(WindowContext& context, FileCommandsUi& storage, const QString& path);

}  // namespace orbo
