// The EPG buffer (see buffer.h). Placeholder: no events are kept yet.
#include "epgdb/buffer.h"

int DelBuf(int slot)
{
    return slot > 200 ? 1 : 0;
}
