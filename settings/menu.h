// The settings menu: 62 rows, eleven to a page.
#ifndef DIRO_SETTINGS_MENU_H
#define DIRO_SETTINGS_MENU_H

// Redraws the menu (step 0) or changes the selected row's value by step and redraws.
void Settings_Menu(int step);

#endif
