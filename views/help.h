// The help page of the views and the key bars at the foot of the lists. The page lists eleven
// keys with what they do; the bars name what the coloured keys of a list do, each text with a
// mark in the key's colour before it. All in the language of `language`.
// Example:
//   help = 1; DrawEPG(1);    // the frame calls Help(); the next key closes it
//   HelpSort();              // the result list's sort keys in its foot line
#ifndef DIRO_VIEWS_HELP_H
#define DIRO_VIEWS_HELP_H

extern unsigned char timerlisthelp;   // 1 while the timer list's key bar shows (cleared by the next key)

// The help page in the window (drawn by DrawEPG while help is 1): the title, eleven rows of key
// and description, and the timer-list key's symbol; with settings.rc2_support the keys of the
// RC2 remote in rows 1, 5 and 6.
void Help(void);
// The key bar of the result lists: red, green and yellow sort by time, number and name.
void HelpSort(void);
// The key bar of the search list: red, green and yellow sort, blue opens the keyboard.
void HelpSearchlist(void);
// The two-line key bar of the timer list: green and yellow sort, blue finds the timer's event,
// red makes a new timer, the light grey key deletes one. Sets timerlisthelp.
void HelpTimerlist(void);

#endif
