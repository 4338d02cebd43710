// TAP_Hdd_* file calls: forwarded to the active firmware's Disk (the plug-in's folder). What the
// disk refuses a writer (a file it cannot create or open, a write that falls short) goes into the
// firmware's log, so a failed save is seen even when its message on the screen is gone.
#include "frame/platform/tap.h"
#include "sim/firmware.h"

namespace {
sim::Disk &disk(const char *call) { return sim::Firmware::active(call).disk; }
std::string nameOf(const char *s) { return s ? std::string(s) : std::string(); }
void logRefusal(const char *call, const std::string &what) {
    sim::Firmware::active(call).log.write(std::string(call) + ": " + what);
}
}  // namespace

extern "C" {

TYPE_File *TAP_Hdd_Fopen(const char *name) {
    sim::Disk &d = disk(__func__);
    TYPE_File *file = d.open(nameOf(name));
    // A missing file is an everyday answer; an existing one that cannot be opened is not.
    if (!file && d.exists(nameOf(name)))
        logRefusal(__func__, nameOf(name) + " exists but cannot be opened");
    return file;
}

dword TAP_Hdd_Fread(void *buf, dword blksize, dword blk, TYPE_File *file) {
    return disk(__func__).read(buf, blksize, blk, file);
}

dword TAP_Hdd_Fwrite(const void *buf, dword blksize, dword blk, TYPE_File *file) {
    sim::Disk &d = disk(__func__);
    dword written = d.write(buf, blksize, blk, file);
    if (written < blk) {
        std::string name = d.handleName(file);
        logRefusal(__func__, std::to_string(written) + " of " + std::to_string(blk) + " blocks of " +
                                 std::to_string(blksize) + " bytes written to " +
                                 (name.empty() ? "an unknown handle" : name) + " (the disk is full or failing)");
    }
    return written;
}

void TAP_Hdd_Fclose(TYPE_File *file) { disk(__func__).close(file); }

dword TAP_Hdd_Fseek(TYPE_File *file, long pos, int where) { return disk(__func__).seek(file, pos, where); }

dword TAP_Hdd_Ftell(TYPE_File *file) { return disk(__func__).tell(file); }

dword TAP_Hdd_Flen(TYPE_File *file) { return disk(__func__).length(file); }

int TAP_Hdd_Exist(const char *name) { return disk(__func__).exists(nameOf(name)) ? 1 : 0; }

int TAP_Hdd_Delete(const char *name) { return disk(__func__).remove(nameOf(name)); }

int TAP_Hdd_Create(const char *name, byte) {
    int rc = disk(__func__).create(nameOf(name));
    if (rc != 0)
        logRefusal(__func__, "cannot create " + nameOf(name));
    return rc;
}

int TAP_Hdd_Rename(const char *oldName, const char *newName) {
    sim::Disk &d = disk(__func__);
    int rc = d.rename(nameOf(oldName), nameOf(newName));
    // A name outside the folder is counted by the disk, not logged (as for the other calls).
    if (rc != 0 && sim::Disk::validName(nameOf(newName)) && d.exists(nameOf(oldName)))
        logRefusal(__func__, "cannot rename " + nameOf(oldName) + " to " + nameOf(newName));
    return rc;
}

dword TAP_Hdd_FreeSize(void) { return disk(__func__).freeMb; }

}  // extern "C"
