// The text an imported Access value becomes: what the user sees of it in
// Access, not libmdb's own spelling.
#pragma once

#include <QString>

namespace orbo {

// A Date/Time value, stored as days since 1899-12-30 whose fraction is the
// time of day, counted forward from midnight even before that date (-1.25
// is 1899-12-29 06:00): "yyyy-mm-dd", then " hh:mm:ss" unless it is
// midnight. A value outside the years 100 to 9999, which Access never
// stores, comes out as the number.
QString AccessDateText(double days);

// A Currency or decimal value without the zeros its scale pads it with:
// "1995.5000" is "1995.5", "12.00" is "12".
QString WithoutTrailingZeros(const QString& decimal);

}  // namespace orbo
