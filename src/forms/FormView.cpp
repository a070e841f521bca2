#include "forms/FormView.h"

#include "context/VelDoc.h"
#include "forms/FormHost.h"

CFormView::CFormView(CAppContext& app, CVelDoc& doc, int formNumber, QWidget* parent)
    : QWidget(parent), m_app(app), m_doc(doc), m_formNumber(formNumber)
{
    connect(&doc, &CVelDoc::viewsNeedUpdate, this, &CFormView::onDocumentUpdate);
}

bool CFormView::canLeave(int)
{
    return true;
}

void CFormView::enter(int, int) {}

void CFormView::onDocumentUpdate(int) {}

CFormHost* CFormHost::of(const QWidget* widget)
{
    return widget ? dynamic_cast<CFormHost*>(widget->window()) : nullptr;
}
