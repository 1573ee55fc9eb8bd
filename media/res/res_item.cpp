#include "media/res/res_item.h"

IMPLEMENT_DYNAMIC(CResItem, CMemChunk)

void CResItem::ReleaseUse() {
    if (m_uses == 0) return;
    if (--m_uses == 0 && m_dropped) delete this;
}

void CResItem::Drop() {
    if (m_uses == 0) {
        delete this;
        return;
    }
    m_dropped = true;
    m_entry = nullptr;
    m_purgeable = 0;
    TheChunkPool().Unlist(this);
}
