// The settings file: 146 lines of quoted strings, #TRUE#/#FALSE# flags and
// plain numbers, read back value by value.
#pragma once

#include <QString>

#include "shell/app_settings.h"

namespace orbo {

QString SettingsToText(const AppSettings& settings);

// Reads the values in file order into settings. A value that is missing or
// of the wrong kind keeps what settings held; the result says whether every
// value was good.
bool SettingsFromText(const QString& text, AppSettings* settings);

}  // namespace orbo
