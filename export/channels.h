// The channel list files "TV_Channel_List.txt" and "Radio_Channel_List.txt", one line per
// channel of the receiver ("0001|Das Erste|28106", CR LF, padded with spaces to 512-byte
// blocks), and the lookups that turn a service id, a logical channel number or a channel name
// back into the receiver's (service type, service number). Leans on export/textfile, text/strutil
// and the channel calls of the platform; the lookups use the shared chInfo (frame/state).
// Example:
//   int type = 0, num = 0;
//   if (SidToSvcTypeNum(&type, &num, 28106) == 0) TAP_Channel_Start(1, type, num);
#ifndef DIRO_EXPORT_CHANNELS_H
#define DIRO_EXPORT_CHANNELS_H

#include "frame/platform/tap.h"

#define TV_CHANNEL_LIST_NAME "TV_Channel_List.txt"
#define RADIO_CHANNEL_LIST_NAME "Radio_Channel_List.txt"

enum { CHANNEL_LIST_NAME_LENGTH = 23 };   // bytes of a channel name in the lists

// Writes both files anew: the TV channels, then the radio channels, in the receiver's order. A
// file that cannot be opened is left out without a message.
void Create_ChannelList(void);

// Each lookup searches the TV channels first, then the radio channels, and gives the first match
// as (*svc_type, *svc_num). Results: 0 found; 1 not found (*svc_type and *svc_num unchanged).
// Changes chInfo.

// The channel with this service id (compared as 16 bits).
int SidToSvcTypeNum(int *svc_type, int *svc_num, int service_id);

// The channel with this logical channel number (compared as 16 bits).
int LcnToSvcTypeNum(int *svc_type, int *svc_num, int lcn);

// The channel whose name, cut to 23 bytes and filtered as in the lists, equals name apart from
// the case of ASCII letters. A null or empty name finds nothing.
int ChNameToSvcTypeNum(int *svc_type, int *svc_num, const char *name);

// The firmware's name of a channel record, at most n bytes of it (never beyond its 24-byte
// field), filtered with ConvertStr, into dst (n + 1 bytes). Returns dst.
char *ChannelNameOf(char *dst, const PlatformChannelInfo *info, int n);

#endif
