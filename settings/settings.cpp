// Owner of the settings record and the language (see settings.h).
#include "settings/settings.h"

Settings settings;
int language;
int saved_view = SETTINGS_UNSET;
int saved_titletimebar = SETTINGS_UNSET;
int saved_nowtimebar = SETTINGS_UNSET;
