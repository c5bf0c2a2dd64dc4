// After a database is opened: when files its records name are missing, says
// how many and offers to look for them in a folder the user names. The
// records keep their names until the user agrees to the files found, and
// then change as one undo step.
#pragma once

namespace orbo {

struct WindowContext;

void OfferToFindMissingFiles(WindowContext& context);

}  // namespace orbo
