#include "app/ui/SplashWindow.h"

#include "app/ui/artwork/Artwork.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>

SplashWindow::SplashWindow(int durationMs)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_duration(durationMs)
{
    setObjectName(QStringLiteral("splashWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(PictureWidth, PictureHeight);
}

SplashWindow::~SplashWindow()
{
    qApp->removeEventFilter(this);
}

SplashWindow* SplashWindow::showOver(QWidget* frame)
{
    static bool shown = false;
    if (shown)
        return nullptr;
    shown = true;
    auto* splash = new SplashWindow;
    splash->showCentredOver(frame);
    return splash;
}

void SplashWindow::showCentredOver(QWidget* frame)
{
    QRect over;
    if (frame && frame->isVisible())
        over = frame->frameGeometry();
    else if (QScreen* screen = frame ? frame->screen() : QGuiApplication::primaryScreen())
        over = screen->availableGeometry();
    QRect placed(QPoint(0, 0), size());
    placed.moveCenter(over.center());
    move(placed.topLeft());
    qApp->installEventFilter(this);
    show();
    QPointer<SplashWindow> self(this);
    QTimer::singleShot(m_duration, this, [self] {
        if (self)
            self->dismiss();
    });
}

void SplashWindow::dismiss()
{
    if (m_dismissed)
        return;
    m_dismissed = true;
    hide();
    deleteLater();
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        if (m_dismissed)
            break;
        dismiss();
        return true;
    case QEvent::ShortcutOverride:
        // Claiming the key keeps a shortcut from running; the key press that follows only dismisses.
        if (!m_dismissed) {
            event->accept();
            return true;
        }
        break;
    case QEvent::ContextMenu:
        // A right click that dismissed the splash is followed by a context-menu request; it is part of
        // the same click.
        if (m_dismissed)
            return true;
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void SplashWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    Artwork::paint(painter, QStringLiteral("splash"), QRectF(rect()));
    Artwork::paint(painter, QStringLiteral("velmora"), QRectF(30, 30, 70, 70));

    QFont title(QStringLiteral("Arial"), 24);
    title.setBold(true);
    QFont text(QStringLiteral("Arial"), 12);
    painter.setPen(Qt::white);
    painter.setFont(title);
    painter.drawText(QRectF(114, 32, 380, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Velmora"));
    painter.setPen(QColor(0xc9, 0xd6, 0xe8));
    painter.setFont(text);
    painter.drawText(QRectF(116, 70, 380, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Maintenance records for your vehicles and fleet"));
    painter.setPen(QColor(0xff, 0xd0, 0x5a));
    painter.drawText(QRectF(30, 270, 200, 22), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Version 2.3"));
    painter.setPen(QColor(255, 255, 255, 150));
    painter.drawText(QRectF(30, 248, 200, 22), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Halvern Software"));
}
