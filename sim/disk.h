// The receiver's hard disk as the plug-in sees it: the plug-in's folder (a host directory) with
// files by plain name, open handles tracked, free space in MB, and faults a test can switch on
// (a full disk, writes that fail after n bytes, a power cut after n bytes written or n changes,
// opens refused, renames onto an existing name refused), and a journal of the changes made.
// Example:
//   sim::Disk disk("/tmp/rx-disk");                       // the folder is created if missing
//   disk.faults.failWritesAfterBytes = 100;              // the next 100 bytes land, then nothing
//   TapFile *f = disk.open("Diro_ROD.Settings.DAT");      // null when missing
//   disk.faults.powerCutAfterChanges = 3;   // 3 more creates, deletes, renames or writes, then
//                                           // the power goes: the disk changes nothing more
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

// An open file of the plug-in's folder (the TAP's TYPE_File). Owned by the Disk; the plug-in only
// holds the pointer. A closed handle stays allocated so that a second close is recognised.
struct TapFile {
    std::string name;
    std::FILE *fp = nullptr;  // unbuffered: each read and write is one call of the system
    bool open = false;
    bool readLast = false;    // the last operation read: a write must position the stream first
};

namespace sim {

struct DiskFaults {
    bool full = false;                 // create fails, writes write nothing
    int64_t failWritesAfterBytes = -1; // -1 off; else this many more bytes are written, then writes
                                       // stop short (a failing disk: files keep what was written)
    bool refuseOpen = false;           // every open fails
    std::set<std::string> refuseOpenOf;  // opens of these names fail
    // A power cut: once it strikes, the disk is off and changes nothing more (creates, deletes,
    // renames and writes fail; files keep what was written) until powerIsOff is cleared, as a
    // fresh Disk on the same folder is after the receiver was switched on again.
    int64_t powerCutAfterBytes = -1;   // -1 off; else the write that passes this many more bytes
                                       // stops there, and the power goes
    long powerCutAfterChanges = -1;    // -1 off; else after this many more changes the power goes
                                       // (the next change is not made)
    bool powerIsOff = false;           // set by the disk when a cut struck
    bool renameKeepsTarget = false;    // a rename onto an existing name is refused (the firmware
                                       // of some receivers does not replace files)
};

// One change made to the folder (Disk::journal).
struct DiskChange {
    enum Kind { Create, Delete, Rename, Write } kind;
    std::string name;      // the file (a rename: its old name)
    std::string newName;   // a rename's new name
    uint64_t bytes = 0;    // a write: the bytes written
};

class Disk {
public:
    static constexpr size_t kMaxNameLength = 100;

    explicit Disk(std::string folder, uint32_t freeMb = 500000);
    ~Disk();

    const std::string &folder() const { return folder_; }
    // The host path of a plain name, or "" when the name is not a plain name of the folder
    // (empty, over 100 characters, "." or "..", or containing '/' or '\\').
    std::string pathOf(const std::string &name) const;
    static bool validName(const std::string &name);

    // Operations as the TAP_Hdd_* calls see them (results documented in frame/platform/tap.h).
    TapFile *open(const std::string &name);
    int create(const std::string &name);          // 0 created or truncated
    int remove(const std::string &name);          // 0 deleted
    int rename(const std::string &from, const std::string &to);  // 0 renamed (replacing `to`)
    bool exists(const std::string &name) const;
    uint32_t read(void *buf, uint32_t blockSize, uint32_t blocks, TapFile *file);
    uint32_t write(const void *buf, uint32_t blockSize, uint32_t blocks, TapFile *file);
    uint32_t seek(TapFile *file, long pos, int origin);
    uint32_t tell(TapFile *file);
    uint32_t length(TapFile *file);
    void close(TapFile *file);

    uint32_t freeMb = 500000;  // what TAP_Hdd_FreeSize reports
    DiskFaults faults;
    // With keepJournal, every change made (not the ones refused) is listed in order.
    bool keepJournal = false;
    std::vector<DiskChange> journal;

    // What tests look at.
    std::vector<std::string> openFiles() const;  // names of the handles not closed yet
    std::string handleName(const TapFile *file) const;  // the name of a handle it gave, else ""
    int badCloses() const { return badCloses_; }      // closes of unknown or closed handles
    int badHandleUses() const { return badHandleUses_; }  // uses of such handles, bad seeks
    int refusedNames() const { return refusedNames_; }    // calls with a name outside the folder
    long writeCalls() const { return writeCalls_; }       // writes that reached a usable handle
    // Closes every handle still open (the plug-in was unloaded); returns how many there were.
    int closeAll();

    Disk(const Disk &) = delete;
    Disk &operator=(const Disk &) = delete;

private:
    std::string folder_;
    std::vector<std::unique_ptr<TapFile>> handles_;
    int badCloses_ = 0;
    int badHandleUses_ = 0;
    mutable int refusedNames_ = 0;
    long writeCalls_ = 0;
    TapFile *usable(TapFile *file);
    std::string checkedPath(const std::string &name) const;
    // Counts a change against the power-cut fault: false when the power is off (now or already).
    bool powerForChange();
    void record(DiskChange::Kind kind, const std::string &name, const std::string &newName = "", uint64_t bytes = 0);
};

}  // namespace sim
