#include "storage/number_text.h"

namespace orbo {

double LeadingNumber(const QString& text) {
  const QString trimmed = text.trimmed();
  qsizetype end = 0;
  auto digits = [&] {
    const qsizetype start = end;
    while (end < trimmed.size() && trimmed[end].unicode() >= u'0' && trimmed[end].unicode() <= u'9')
      ++end;
    return end > start;
  };
  if (end < trimmed.size() && (trimmed[end] == u'-' || trimmed[end] == u'+')) ++end;
  bool any = digits();
  if (end < trimmed.size() && trimmed[end] == u'.') {
    ++end;
    any = digits() || any;
  }
  if (!any) return 0;
  // An exponent counts only when digits follow it.
  if (end < trimmed.size() && (trimmed[end] == u'e' || trimmed[end] == u'E')) {
    qsizetype mark = end++;
    if (end < trimmed.size() && (trimmed[end] == u'-' || trimmed[end] == u'+')) ++end;
    if (!digits()) end = mark;
  }
  bool ok = false;
  const double value = trimmed.left(end).toDouble(&ok);
  return ok ? value : 0;
}

}  // namespace orbo
