// Filling the EPG buffer from the firmware's EPG. For now only the channel check of start-up.
#ifndef DIRO_EPGDB_FILL_H
#define DIRO_EPGDB_FILL_H

// Drops every buffered channel that is no longer the channel it was filled from.
void CheckChBuf(void);

#endif
