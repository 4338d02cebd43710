// Recording by search words, and the start-up message "Events of interest found!".
#ifndef DIRO_SEARCH_RECORD_H
#define DIRO_SEARCH_RECORD_H

// Searches the buffer with every recording search word and queues timers for the hits.
// show_message 1 shows progress on the screen.
void SearchAndRecord(int show_message);
// The idle duty of recording by search words.
void HideAutoRecord(void);
// Draws the start-up message box.
void DrawSearchMsg(void);

#endif
