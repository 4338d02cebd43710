// The search editor (see editor.h). Placeholder: the editor is not drawn yet.
#include "search/editor.h"

unsigned char search_idx;
unsigned char save_or_del = 1;
int Cut_Start;
int Cut_End;

void Search_Menu(int entry, int step) {}
