// The language file reader: any file loads or is refused, and every text it
// claims to have can be fetched.
#include "fuzz_support.h"
#include "shell/language_texts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orbo;
  const QString path = fuzz::WriteInput(data, size, QStringLiteral("language.txt"));
  LanguageTexts texts;
  texts.Load(path);
  for (int group = 0; group < LanguageTexts::kGroupCount; ++group) {
    if (texts.Has(group, 0)) texts.Get(group, 0);
  }
  LanguageCaption(path);
  return 0;
}
