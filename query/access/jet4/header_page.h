// Page 0: the database header, with its RC4-masked region.
#pragma once

#include <QByteArray>
#include <QDateTime>

namespace orbo::jet4 {

// Days since 1899-12-30, as Jet stores dates.
double OleDate(const QDateTime& time);

// The 128 bytes XORed over header offsets 0x18..0x97.
QByteArray HeaderMaskKeystream();

QByteArray HeaderPage(double created);

}  // namespace orbo::jet4
