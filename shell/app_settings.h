// The program's settings: read at start, written at shutdown and after the
// options dialog.
#pragma once

#include <QMap>
#include <QString>
#include <array>
#include <cstdint>

#include "storage/backups.h"
#include "storage/database_model.h"
#include "storage/recovery_copies.h"

namespace orbo {

inline constexpr int kRecentFileCount = 4;
inline constexpr int kToolbarSlots = 64;
// An unused entry of the recent-file list.
inline const QString kNoRecentFile = QStringLiteral("-");

struct AppSettings {
  std::array<QString, kRecentFileCount> RecentFiles = {kNoRecentFile, kNoRecentFile, kNoRecentFile,
                                                       kNoRecentFile};
  bool WideList = false;
  bool ShowStatusBar = true;
  bool ShowGrid = true;
  std::int16_t GridStepX = 120;
  std::int16_t GridStepY = 120;
  bool FixedTextHeight = false;
  std::int32_t WindowLeft = 1200;
  std::int32_t WindowTop = 900;
  std::int32_t WindowWidth = 12000;
  std::int32_t WindowHeight = 8400;
  std::int16_t WindowState = 0;
  // Row 0 the main toolbar, row 1 the edit toolbar; button n uses entry n (1-based).
  std::array<std::array<bool, kToolbarSlots + 1>, 2> ToolButtonVisible = [] {
    std::array<std::array<bool, kToolbarSlots + 1>, 2> all{};
    for (auto& row : all) row.fill(true);
    return all;
  }();
  FontSpec DefaultFont{QStringLiteral("DejaVu Sans"), 10, false, false};
  bool ShowStartDialog = true;
  std::int32_t StartCount = 0;
  // Kept in a file of its own beside the settings file, whose lines are fixed.
  int BackupsKept = kDefaultBackups;
  // The open folder's records shown as a table instead of the contents list.
  bool RecordTable = false;
  // Minutes between recovery copies of a database with unsaved changes; 0: none.
  int RecoveryMinutes = kDefaultRecoveryMinutes;
  // The code page each database file was last read or written in, by its
  // canonical path: a file does not say it. Kept beside BackupsKept.
  QMap<QString, QString> FileCodePages;

  friend bool operator==(const AppSettings&, const AppSettings&) = default;
};

}  // namespace orbo
