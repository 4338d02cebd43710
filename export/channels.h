// The channel list files "TV_Channel_List.txt" and "Radio_Channel_List.txt".
#ifndef DIRO_EXPORT_CHANNELS_H
#define DIRO_EXPORT_CHANNELS_H

void Create_ChannelList(void);

#endif
