#pragma once

#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

// Velmora's own pictures, kept as SVG in the resource file and drawn at whatever size is asked for, so
// that they stay sharp at any window size. A name is either a picture of ours ("owners", "lamp-red") or
// a full resource or file path.
namespace Artwork {

QString path(const QString& name);
bool exists(const QString& name);
// The picture's own size, in its drawing units (empty for an unknown name).
QSizeF naturalSize(const QString& name);
// Draws the picture stretched over target; an unknown name draws nothing.
void paint(QPainter& painter, const QString& name, const QRectF& target);
// The picture rendered at size (device-independent pixels), sharp on high-density screens. Cached.
QPixmap pixmap(const QString& name, const QSize& size, qreal devicePixelRatio = 1.0);
// The program's icon, at the usual icon sizes.
QIcon programIcon();

} // namespace Artwork
