// The EPG buffer: per-channel event records and their text blocks on the firmware heap.
// For now only the entry other subsystems call; the buffer itself is not kept yet.
#ifndef DIRO_EPGDB_BUFFER_H
#define DIRO_EPGDB_BUFFER_H

// Empties a slot of the buffer and frees its text block. Returns 0, or 1 for a slot above 200.
int DelBuf(int slot);

#endif
