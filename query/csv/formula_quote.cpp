#include "query/csv/formula_quote.h"

namespace orbo {
namespace {

constexpr QChar kApostrophe = u'\'';

bool BeginsAsAFormula(const QString& value) {
  qsizetype first = 0;
  while (first < value.size() && value[first] == kApostrophe) ++first;
  if (first == value.size()) return false;
  const QChar c = value[first];
  return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

}  // namespace

QString FormulaQuoted(const QString& value) {
  return BeginsAsAFormula(value) ? kApostrophe + value : value;
}

QString WithoutFormulaQuote(const QString& value) {
  return value.startsWith(kApostrophe) && BeginsAsAFormula(value) ? value.mid(1) : value;
}

}  // namespace orbo
