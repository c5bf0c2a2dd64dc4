#include "storage/storage_error.h"

#include <cstring>

namespace orbo {

QString SystemErrorText(int systemError) {
  return QString::fromLocal8Bit(std::strerror(systemError));
}

}  // namespace orbo
