// What a feature of the window gets when it is made, instead of the whole
// program: the model and what the window shows of it, the settings and
// texts, the seams, the command funnel (every change of the model goes
// through it, as an undo step), the commands of the menus and toolbars, the
// window's services and the events the features tell each other.
#pragma once

#include "shell/app_settings.h"
#include "shell/command_funnel.h"
#include "shell/dialogs.h"
#include "shell/language_texts.h"
#include "shell/main_commands.h"
#include "shell/window_events.h"
#include "shell/window_services.h"
#include "storage/database_model.h"
#include "storage/display_state.h"

namespace orbo {

struct WindowContext {
  Database& db;
  DisplayState& state;
  AppSettings& settings;
  const LanguageTexts& texts;
  Dialogs& dialogs;
  CommandFunnel& funnel;
  MainCommands& commands;
  WindowServices& services;
  WindowEvents& events;
};

}  // namespace orbo
