#pragma once

#include <QMainWindow>

class CVelApp;

// The one top-level window: menu, status bar and the one shown form.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(CVelApp& app, QWidget* parent = nullptr);

private:
    CVelApp& m_app;
};
