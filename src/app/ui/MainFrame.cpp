#include "app/ui/MainFrame.h"

CMainFrame::CMainFrame(CVelApp& app, QWidget* parent) : QMainWindow(parent), m_app(app)
{
    setWindowTitle(QStringLiteral("Velmora"));
}
