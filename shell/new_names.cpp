#include "shell/new_names.h"

#include "shell/language_texts.h"
#include "shell/shell_texts.h"
#include "storage/code_page.h"

namespace orbo {

NewNames NewNamesIn(const LanguageTexts& texts, const QString& codePageName) {
  NewNames names;
  CodePage codePage(codePageName);
  const auto take = [&](QString& name, TextId id) {
    const QString own = texts.Get(id);
    QByteArray bytes;
    // A name without its number would give every element the same one.
    if (own.contains(QStringLiteral("%1")) && codePage.Encode(own, &bytes)) name = own;
  };
  take(names.form, shell_texts::kNewFormName);
  for (int type = 0; type < kElementTypeCount; ++type)
    take(names.elements[static_cast<std::size_t>(type)], shell_texts::kNewElementNames.Plus(type));
  return names;
}

}  // namespace orbo
