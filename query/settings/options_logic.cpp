#include "query/settings/options_logic.h"

#include <algorithm>
#include <cmath>

#include "storage/number_text.h"

namespace orbo {
namespace {

constexpr double kSmallestGridStep = 20;

std::size_t At(int i) { return static_cast<std::size_t>(i); }

}  // namespace

OptionEntries ReadOptions(const AppSettings& settings, const std::array<int, 2>& buttonCounts) {
  OptionEntries entries;
  entries.showStatusBar = settings.ShowStatusBar;
  for (int bar = 0; bar < 2; ++bar) {
    for (int n = 1; n <= buttonCounts[At(bar)]; ++n) {
      entries.buttonTicks[At(bar)]
          << (n > kToolbarSlots || settings.ToolButtonVisible[At(bar)][At(n)]);
    }
  }
  entries.gridX = QString::number(settings.GridStepX);
  entries.gridY = QString::number(settings.GridStepY);
  entries.showGrid = settings.ShowGrid;
  entries.font = settings.DefaultFont;
  entries.showStartDialog = settings.ShowStartDialog;
  entries.backups = settings.BackupsKept;
  entries.recoveryMinutes = settings.RecoveryMinutes;
  return entries;
}

void StoreOptions(const OptionEntries& entries, AppSettings* settings) {
  settings->ShowStatusBar = entries.showStatusBar;
  for (int bar = 0; bar < 2; ++bar) {
    const QList<bool>& ticks = entries.buttonTicks[At(bar)];
    for (int n = 1; n <= ticks.size() && n <= kToolbarSlots; ++n) {
      settings->ToolButtonVisible[At(bar)][At(n)] = ticks[n - 1];
    }
  }
  settings->GridStepX = GridStepOf(entries.gridX);
  settings->GridStepY = GridStepOf(entries.gridY);
  settings->ShowGrid = entries.showGrid;
  settings->DefaultFont = entries.font;
  settings->ShowStartDialog = entries.showStartDialog;
  settings->BackupsKept = std::clamp(entries.backups, 0, kMaxBackups);
  settings->RecoveryMinutes = std::clamp(entries.recoveryMinutes, 0, kMaxRecoveryMinutes);
}

std::int16_t GridStepOf(const QString& typed) {
  const double n = std::round(LeadingNumber(typed));
  return n < kSmallestGridStep || n > 32767 ? kDefaultGridStep : static_cast<std::int16_t>(n);
}

}  // namespace orbo
