// orbo-cli's JSON image reader: an image it accepts gives the same image
// again, written whole or an entry at a time, and a model that keeps its invariants (what build
// saves) loads back equal.
#include "cli/json_image.h"
#include "fuzz_support.h"
#include "storage/model_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orbo;
  const Image image = Image::parse(data, data + size, nullptr, false);
  if (image.is_discarded()) return 0;
  CodePage codePage;
  Database db;
  try {
    db = DatabaseFromImage(image, codePage);
  } catch (const ImageError&) {
    return 0;
  }
  const Image again = DatabaseToImage(db);
  fuzz::Require(DatabaseToImage(DatabaseFromImage(again, codePage)) == again,
                "an image does not read back");
  std::string text;
  WriteDatabaseImage(db, [&text](const std::string& piece) { text += piece; });
  fuzz::Require(text == again.dump(2) + '\n', "the written image is not the whole image's text");
  if (FindModelProblems(db, 1).empty()) fuzz::CheckSavesAndLoadsBack(db, codePage);
  return 0;
}
