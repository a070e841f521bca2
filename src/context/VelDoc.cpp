#include "context/VelDoc.h"

void CVelDoc::updateAllViews(int hint)
{
    m_hint = hint;
    Q_EMIT viewsNeedUpdate(hint);
    m_hint = 0;
}
