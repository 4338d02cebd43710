// The one-line message box in the middle of the screen (free disk, remote commands, full search
// list) and the "Can't SAVE" line of failed file writes. Leans on settings/colors.
#ifndef DIRO_FRAME_MSGBOX_H
#define DIRO_FRAME_MSGBOX_H

// Draws the message box: a red box at (130, 251), 460 x 43, with the text centred on the title
// box colour from x 138 to 582 in the large font. Does not sync.
void DrawMsgBox(const char *text);

// Shows a failed save ("     Can't SAVE SETTINGS FILE" and the like) at (64, 76) in the warning
// colour, syncs and leaves it standing for 4 seconds.
void ShowSaveError(const char *text);

#endif
