// Saving a file whole under a temporary name, then putting it in place (see safefile.h).
#include "frame/safefile.h"

#include <string.h>

enum {
    SAFEFILE_SUFFIX_LENGTH = 4   // ".tmp", ".new"
};

// name + suffix into dst (SAFEFILE_NAME_SIZE bytes). Results: 0 done; 1 the name is too long.
static int name_with(char *dst, const char *name, const char *suffix)
{
    size_t n = strlen(name);
    if (n == 0 || n + SAFEFILE_SUFFIX_LENGTH >= SAFEFILE_NAME_SIZE)
        return 1;
    memcpy(dst, name, n);
    memcpy(dst + n, suffix, SAFEFILE_SUFFIX_LENGTH + 1);
    return 0;
}

int SafeFile_Create(SafeFile *sf, const char *name)
{
    char part[SAFEFILE_NAME_SIZE];
    sf->file = NULL;
    sf->failed = 0;
    sf->name[0] = 0;
    if (name == NULL || name_with(part, name, SAFEFILE_PART_SUFFIX) != 0)
        return 1;
    strcpy(sf->name, name);
    TAP_Hdd_Delete(part);
    if (TAP_Hdd_Create(part, ATTR_NORMAL) != 0)
        return 1;
    sf->file = TAP_Hdd_Fopen(part);
    if (sf->file == NULL) {
        TAP_Hdd_Delete(part);
        return 1;
    }
    return 0;
}

int SafeFile_Write(SafeFile *sf, const void *data, dword size)
{
    if (sf->file == NULL)
        return 0;
    if (size == 0)
        return 1;
    if (sf->failed || TAP_Hdd_Fwrite(data, size, 1, sf->file) != 1) {
        sf->failed = 1;
        return 0;
    }
    return 1;
}

int SafeFile_Close(SafeFile *sf)
{
    if (sf->file == NULL)
        return 1;
    char part[SAFEFILE_NAME_SIZE], done[SAFEFILE_NAME_SIZE];
    name_with(part, sf->name, SAFEFILE_PART_SUFFIX);
    name_with(done, sf->name, SAFEFILE_DONE_SUFFIX);
    TAP_Hdd_Fclose(sf->file);
    sf->file = NULL;
    if (sf->failed) {
        TAP_Hdd_Delete(part);
        return 1;
    }
    // The rename marks the copy whole: from here on it replaces the file even after a power cut.
    TAP_Hdd_Delete(done);
    if (TAP_Hdd_Rename(part, done) != 0) {
        TAP_Hdd_Delete(part);
        return 1;
    }
    TAP_Hdd_Delete(sf->name);
    return TAP_Hdd_Rename(done, sf->name) == 0 ? 0 : 1;
}

int SafeFile_Recover(const char *name)
{
    char part[SAFEFILE_NAME_SIZE], done[SAFEFILE_NAME_SIZE];
    if (name == NULL || name_with(part, name, SAFEFILE_PART_SUFFIX) != 0)
        return 0;
    name_with(done, name, SAFEFILE_DONE_SUFFIX);
    int result = 0;
    if (TAP_Hdd_Exist(done)) {
        TAP_Hdd_Delete(name);
        if (TAP_Hdd_Rename(done, name) == 0)
            result |= 1;
    }
    if (TAP_Hdd_Exist(part)) {
        TAP_Hdd_Delete(part);
        result |= 2;
    }
    return result;
}

void SafeFile_Delete(const char *name)
{
    char part[SAFEFILE_NAME_SIZE], done[SAFEFILE_NAME_SIZE];
    if (name == NULL)
        return;
    TAP_Hdd_Delete(name);
    if (name_with(part, name, SAFEFILE_PART_SUFFIX) != 0)
        return;
    name_with(done, name, SAFEFILE_DONE_SUFFIX);
    TAP_Hdd_Delete(done);
    TAP_Hdd_Delete(part);
}
