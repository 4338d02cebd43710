// The settings menu (see menu.h). Placeholder: the menu is not drawn yet.
#include "settings/menu.h"

void Settings_Menu(int step) {}
