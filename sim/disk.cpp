// The plug-in's folder on the receiver's disk (see disk.h).
#include "sim/disk.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace sim {

namespace {
// Makes a directory and its parents; "" when it is there, else why it cannot be made.
std::string makeDirs(const std::string &dir) {
    if (dir.empty())
        return "no folder given";
    struct stat st{};
    if (::stat(dir.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? "" : dir + " is a file, not a folder";
    size_t slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        std::string why = makeDirs(dir.substr(0, slash));
        if (!why.empty())
            return why;
    }
    if (::mkdir(dir.c_str(), 0777) == 0 || errno == EEXIST)
        return "";
    return std::strerror(errno);
}

bool isRegularFile(const std::string &path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
}  // namespace

Disk::Disk(std::string folder, uint32_t freeMbAtStart) : freeMb(freeMbAtStart), folder_(std::move(folder)) {
    while (folder_.size() > 1 && folder_.back() == '/')
        folder_.pop_back();
    std::string why = makeDirs(folder_);
    if (!why.empty())
        throw std::runtime_error("cannot create the disk folder " + folder_ + ": " + why);
}

Disk::~Disk() { closeAll(); }

bool Disk::validName(const std::string &name) {
    if (name.empty() || name.size() > kMaxNameLength || name == "." || name == "..")
        return false;
    return name.find('/') == std::string::npos && name.find('\\') == std::string::npos;
}

std::string Disk::pathOf(const std::string &name) const {
    return validName(name) ? folder_ + "/" + name : std::string();
}

std::string Disk::checkedPath(const std::string &name) const {
    std::string path = pathOf(name);
    if (path.empty())
        ++refusedNames_;
    return path;
}

TapFile *Disk::open(const std::string &name) {
    std::string path = checkedPath(name);
    if (path.empty() || faults.refuseOpen || faults.refuseOpenOf.count(name) || !isRegularFile(path))
        return nullptr;
    std::FILE *fp = std::fopen(path.c_str(), "r+b");
    if (!fp)
        return nullptr;
    // The plug-in writes whole blocks: each goes to the system in one piece, as dd's do.
    std::setvbuf(fp, nullptr, _IONBF, 0);
    auto file = std::make_unique<TapFile>();
    file->name = name;
    file->fp = fp;
    file->open = true;
    handles_.push_back(std::move(file));
    return handles_.back().get();
}

bool Disk::powerForChange() {
    if (faults.powerIsOff)
        return false;
    if (faults.powerCutAfterChanges == 0) {
        faults.powerIsOff = true;
        return false;
    }
    if (faults.powerCutAfterChanges > 0)
        --faults.powerCutAfterChanges;
    return true;
}

void Disk::record(DiskChange::Kind kind, const std::string &name, const std::string &newName, uint64_t bytes) {
    if (keepJournal)
        journal.push_back({kind, name, newName, bytes});
}

int Disk::create(const std::string &name) {
    std::string path = checkedPath(name);
    if (path.empty() || faults.full || !powerForChange())
        return 1;
    struct stat st{};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return 1;
    std::FILE *fp = std::fopen(path.c_str(), "wb");
    if (!fp)
        return 1;
    std::fclose(fp);
    record(DiskChange::Create, name);
    return 0;
}

int Disk::remove(const std::string &name) {
    std::string path = checkedPath(name);
    if (path.empty() || !isRegularFile(path) || !powerForChange())
        return 1;
    if (::unlink(path.c_str()) != 0)
        return 1;
    record(DiskChange::Delete, name);
    return 0;
}

int Disk::rename(const std::string &from, const std::string &to) {
    std::string source = checkedPath(from), target = checkedPath(to);
    if (source.empty() || target.empty() || !isRegularFile(source))
        return 1;
    struct stat st{};
    bool targetThere = ::stat(target.c_str(), &st) == 0;
    if (targetThere && (!S_ISREG(st.st_mode) || faults.renameKeepsTarget))
        return 1;
    if (!powerForChange() || std::rename(source.c_str(), target.c_str()) != 0)
        return 1;
    record(DiskChange::Rename, from, to);
    return 0;
}

bool Disk::exists(const std::string &name) const {
    std::string path = checkedPath(name);
    return !path.empty() && isRegularFile(path);
}

TapFile *Disk::usable(TapFile *file) {
    for (auto &h : handles_)
        if (h.get() == file && h->open)
            return file;
    ++badHandleUses_;
    return nullptr;
}

uint32_t Disk::read(void *buf, uint32_t blockSize, uint32_t blocks, TapFile *file) {
    if (!usable(file) || !buf || blockSize == 0 || blocks == 0)
        return 0;
    uint64_t want = uint64_t(blockSize) * blocks;
    std::fseek(file->fp, 0, SEEK_CUR);  // C streams need a seek between writing and reading
    size_t got = std::fread(buf, 1, static_cast<size_t>(want), file->fp);
    std::clearerr(file->fp);
    file->readLast = true;
    return static_cast<uint32_t>(got / blockSize);
}

uint32_t Disk::write(const void *buf, uint32_t blockSize, uint32_t blocks, TapFile *file) {
    if (!usable(file) || !buf || blockSize == 0 || blocks == 0 || faults.full || !powerForChange())
        return 0;
    uint64_t want = uint64_t(blockSize) * blocks;
    if (faults.failWritesAfterBytes >= 0 && want > uint64_t(faults.failWritesAfterBytes))
        want = uint64_t(faults.failWritesAfterBytes);
    bool cut = faults.powerCutAfterBytes >= 0 && want > uint64_t(faults.powerCutAfterBytes);
    if (cut)
        want = uint64_t(faults.powerCutAfterBytes);
    ++writeCalls_;
    if (file->readLast)
        std::fseek(file->fp, 0, SEEK_CUR);  // C streams need a seek between reading and writing
    file->readLast = false;
    size_t put = std::fwrite(buf, 1, static_cast<size_t>(want), file->fp);
    std::fflush(file->fp);
    if (faults.failWritesAfterBytes >= 0)
        faults.failWritesAfterBytes -= static_cast<int64_t>(put);
    if (faults.powerCutAfterBytes >= 0)
        faults.powerCutAfterBytes -= static_cast<int64_t>(put);
    if (cut)
        faults.powerIsOff = true;
    record(DiskChange::Write, file->name, "", put);
    return static_cast<uint32_t>(put / blockSize);
}

uint32_t Disk::seek(TapFile *file, long pos, int origin) {
    if (!usable(file))
        return 0;
    int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    // A position before the start is refused; the position stays where it was.
    if (origin < 0 || origin > 2 || std::fseek(file->fp, pos, whence) != 0)
        ++badHandleUses_;
    else
        file->readLast = false;
    return static_cast<uint32_t>(std::ftell(file->fp));
}

uint32_t Disk::tell(TapFile *file) {
    if (!usable(file))
        return 0;
    return static_cast<uint32_t>(std::ftell(file->fp));
}

uint32_t Disk::length(TapFile *file) {
    if (!usable(file))
        return 0;
    std::fflush(file->fp);
    struct stat st{};
    if (::fstat(::fileno(file->fp), &st) != 0)
        return 0;
    return static_cast<uint32_t>(st.st_size);
}

void Disk::close(TapFile *file) {
    for (auto &h : handles_) {
        if (h.get() == file && h->open) {
            std::fclose(h->fp);
            h->fp = nullptr;
            h->open = false;
            return;
        }
    }
    ++badCloses_;
}

std::vector<std::string> Disk::openFiles() const {
    std::vector<std::string> names;
    for (auto &h : handles_)
        if (h->open)
            names.push_back(h->name);
    return names;
}

std::string Disk::handleName(const TapFile *file) const {
    for (auto &h : handles_)
        if (h.get() == file)
            return h->name;
    return "";
}

int Disk::closeAll() {
    int n = 0;
    for (auto &h : handles_) {
        if (h->open) {
            std::fclose(h->fp);
            h->fp = nullptr;
            h->open = false;
            ++n;
        }
    }
    return n;
}

}  // namespace sim
