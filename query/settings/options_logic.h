// The entries of the options dialog and how they become settings, without
// widgets.
#pragma once

#include <QList>
#include <QString>
#include <array>
#include <cstdint>

#include "shell/app_settings.h"

namespace orbo {

inline constexpr std::int16_t kDefaultGridStep = 120;

struct OptionEntries {
  bool showStatusBar = true;
  // Per toolbar, the tick of button n at n - 1.
  std::array<QList<bool>, 2> buttonTicks;
  QString gridX;
  QString gridY;
  bool showGrid = true;
  FontSpec font;
  bool showStartDialog = true;
  int backups = kDefaultBackups;
  int recoveryMinutes = kDefaultRecoveryMinutes;
};

// The entries for toolbars of buttonCounts buttons.
OptionEntries ReadOptions(const AppSettings& settings, const std::array<int, 2>& buttonCounts);
// Stores the entries; ticks of buttons beyond the 64 slots are not kept.
void StoreOptions(const OptionEntries& entries, AppSettings* settings);

// A typed grid step: below 20, not a number or beyond 16 bits gives 120.
std::int16_t GridStepOf(const QString& typed);

}  // namespace orbo
