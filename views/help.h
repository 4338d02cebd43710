// The help page of the views and the key bars of the lists.
#ifndef DIRO_VIEWS_HELP_H
#define DIRO_VIEWS_HELP_H

extern unsigned char timerlisthelp;   // 1 while the timer list's key bar shows (cleared by the next key)

void Help(void);
void HelpSort(void);
void HelpSearchlist(void);
void HelpTimerlist(void);

#endif
