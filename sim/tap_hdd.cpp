// TAP_Hdd_* file calls: forwarded to the active firmware's Disk (the plug-in's folder).
#include "frame/platform/tap.h"
#include "sim/firmware.h"

namespace {
sim::Disk &disk(const char *call) { return sim::Firmware::active(call).disk; }
std::string nameOf(const char *s) { return s ? std::string(s) : std::string(); }
}  // namespace

extern "C" {

TYPE_File *TAP_Hdd_Fopen(const char *name) { return disk(__func__).open(nameOf(name)); }

dword TAP_Hdd_Fread(void *buf, dword blksize, dword blk, TYPE_File *file) {
    return disk(__func__).read(buf, blksize, blk, file);
}

dword TAP_Hdd_Fwrite(const void *buf, dword blksize, dword blk, TYPE_File *file) {
    return disk(__func__).write(buf, blksize, blk, file);
}

void TAP_Hdd_Fclose(TYPE_File *file) { disk(__func__).close(file); }

dword TAP_Hdd_Fseek(TYPE_File *file, long pos, int where) { return disk(__func__).seek(file, pos, where); }

dword TAP_Hdd_Ftell(TYPE_File *file) { return disk(__func__).tell(file); }

dword TAP_Hdd_Flen(TYPE_File *file) { return disk(__func__).length(file); }

int TAP_Hdd_Exist(const char *name) { return disk(__func__).exists(nameOf(name)) ? 1 : 0; }

int TAP_Hdd_Delete(const char *name) { return disk(__func__).remove(nameOf(name)); }

int TAP_Hdd_Create(const char *name, byte) { return disk(__func__).create(nameOf(name)); }

dword TAP_Hdd_FreeSize(void) { return disk(__func__).freeMb; }

}  // extern "C"
