// The settings file reader: whatever it takes in, it writes out as a file
// that reads back to the same settings.
#include "fuzz_support.h"
#include "shell/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orbo;
  AppSettings settings;
  SettingsFromText(
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
      &settings);
  AppSettings again;
  fuzz::Require(SettingsFromText(SettingsToText(settings), &again),
                "written settings do not read back");
  fuzz::Require(again == settings, "written settings read back different");
  return 0;
}
