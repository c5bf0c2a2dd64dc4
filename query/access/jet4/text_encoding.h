// Jet 4 text: UCS-2LE, or the one-byte-per-character "compressed" form.
#pragma once

#include <QByteArray>
#include <QStringView>

namespace orbo::jet4 {

QByteArray EncodeUcs2(QStringView text);

// Compresses only where the column allows it, the text has 3 to 1024
// characters and every character is U+0001..U+00FF (the stored byte is the
// low byte of the code unit); otherwise plain UCS-2. Never emits the 00
// toggle between compressed and plain runs.
QByteArray EncodeText(QStringView text, bool compressible);

}  // namespace orbo::jet4
