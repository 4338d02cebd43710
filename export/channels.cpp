// Channel list files and channel lookups (see channels.h).
#include "export/channels.h"

#include <string.h>

#include "export/textfile.h"
#include "frame/state.h"
#include "text/strutil.h"

enum {
    CHANNEL_NAME_FIELD = 24,   // bytes of the name field of the firmware's channel record
    CHANNEL_TYPES = 2          // TV, radio
};

static const char *const list_names[CHANNEL_TYPES] = {TV_CHANNEL_LIST_NAME, RADIO_CHANNEL_LIST_NAME};

char *ChannelNameOf(char *dst, const PlatformChannelInfo *info, int n)
{
    if (n > CHANNEL_NAME_FIELD)
        n = CHANNEL_NAME_FIELD;
    strxcpy(dst, info->name, n);
    return ConvertStr(dst);
}

// --- The list files ---

void Create_ChannelList(void)
{
    int counts[CHANNEL_TYPES] = {0, 0};
    TAP_Channel_GetTotalNum(&counts[SVC_TYPE_Tv], &counts[SVC_TYPE_Radio]);
    char name[CHANNEL_LIST_NAME_LENGTH + 1];
    for (int type = 0; type < CHANNEL_TYPES; type++) {
        TextFile tf;
        if (TextFile_Create(&tf, list_names[type]) != 0)
            continue;
        for (int num = 0; num < counts[type]; num++) {
            memset(&chInfo, 0, sizeof chInfo);
            TAP_Channel_GetInfo(type, num, &chInfo);
            ChannelNameOf(name, &chInfo, CHANNEL_LIST_NAME_LENGTH);
            TextFile_Printf(&tf, "%04d|%s|%d\r\n", num + 1, name, chInfo.service_id);
        }
        TextFile_Close(&tf, ' ');
    }
}

// --- Lookups ---

enum { MATCH_SID, MATCH_LCN, MATCH_NAME };

static int matches(int kind, int number, const char *name)
{
    char own[CHANNEL_LIST_NAME_LENGTH + 1];
    switch (kind) {
    case MATCH_SID:
        return chInfo.service_id == (word)number;
    case MATCH_LCN:
        return chInfo.lcn == (word)number;
    default:
        return stricmp_self(ChannelNameOf(own, &chInfo, CHANNEL_LIST_NAME_LENGTH), name) == 0;
    }
}

// The first channel, TV before radio, that matches. 0 found, 1 not found.
static int find_channel(int *svc_type, int *svc_num, int kind, int number, const char *name)
{
    int counts[CHANNEL_TYPES] = {0, 0};
    TAP_Channel_GetTotalNum(&counts[SVC_TYPE_Tv], &counts[SVC_TYPE_Radio]);
    for (int type = 0; type < CHANNEL_TYPES; type++) {
        for (int num = 0; num < counts[type]; num++) {
            memset(&chInfo, 0, sizeof chInfo);
            if (!TAP_Channel_GetInfo(type, num, &chInfo) || !matches(kind, number, name))
                continue;
            if (svc_type != NULL)
                *svc_type = type;
            if (svc_num != NULL)
                *svc_num = num;
            return 0;
        }
    }
    return 1;
}

int SidToSvcTypeNum(int *svc_type, int *svc_num, int service_id)
{
    return find_channel(svc_type, svc_num, MATCH_SID, service_id, NULL);
}

int LcnToSvcTypeNum(int *svc_type, int *svc_num, int lcn)
{
    return find_channel(svc_type, svc_num, MATCH_LCN, lcn, NULL);
}

int ChNameToSvcTypeNum(int *svc_type, int *svc_num, const char *name)
{
    if (name == NULL || name[0] == 0)
        return 1;
    return find_channel(svc_type, svc_num, MATCH_NAME, 0, name);
}
