// The search editor.
#ifndef DIRO_SEARCH_EDITOR_H
#define DIRO_SEARCH_EDITOR_H

extern unsigned char search_idx;    // 200 while a new entry is edited, else the list entry edited
extern unsigned char save_or_del;   // what the last row does: 1 save, 0 delete
extern int Cut_Start;               // cut marks in the word being edited
extern int Cut_End;

// Draws the editor for the entry (always the working entry 200); a non-zero step changes the
// selected row's value first.
void Search_Menu(int entry, int step);

#endif
