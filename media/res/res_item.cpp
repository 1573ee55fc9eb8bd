#include "media/res/res_item.h"

IMPLEMENT_DYNAMIC(CResItem, CMemChunk)
