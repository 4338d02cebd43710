// The buffer file "Diro_ROD.BufferExt.DAT": the EPG buffer across restarts.
// For now only the entries start-up and shutdown call.
#ifndef DIRO_EPGDB_BUFFERFILE_H
#define DIRO_EPGDB_BUFFERFILE_H

// Reads the buffer file into the EPG buffer at start-up.
void ReadBufferFile(void);
// Writes the whole EPG buffer to the buffer file.
void SaveBufferFile(void);

#endif
