// The signals are made by moc; nothing else is needed here.
#include "shell/window_events.h"
