// Controls carry their system names as objectName, so tests and the code
// that patches the views find them by name.
#pragma once

#include <QWidget>

namespace orbo {

template <typename Widget, typename... Args>
Widget* NamedWidget(const char* name, Args&&... args) {
  auto* widget = new Widget(std::forward<Args>(args)...);
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace orbo
