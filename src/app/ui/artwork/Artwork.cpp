#include "app/ui/artwork/Artwork.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <memory>

// The resource file is compiled into a static library; referencing it here keeps the linker from dropping it.
static void loadArtworkResources()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(artwork);
        return true;
    }();
    Q_UNUSED(loaded);
}

namespace Artwork {

namespace {

QSvgRenderer* renderer(const QString& name)
{
    static QHash<QString, std::shared_ptr<QSvgRenderer>> renderers;
    const QString file = path(name);
    auto found = renderers.find(file);
    if (found == renderers.end()) {
        auto svg = std::make_shared<QSvgRenderer>(file);
        found = renderers.insert(file, svg->isValid() ? svg : nullptr);
    }
    return found->get();
}

} // namespace

QString path(const QString& name)
{
    loadArtworkResources();
    if (name.startsWith(QLatin1Char(':')) || name.contains(QLatin1Char('/')))
        return name;
    return QStringLiteral(":/artwork/%1.svg").arg(name);
}

bool exists(const QString& name)
{
    return QFile::exists(path(name));
}

QSizeF naturalSize(const QString& name)
{
    if (QSvgRenderer* svg = renderer(name))
        return svg->viewBoxF().size();
    return QSizeF();
}

void paint(QPainter& painter, const QString& name, const QRectF& target)
{
    if (QSvgRenderer* svg = renderer(name))
        svg->render(&painter, target);
}

QPixmap pixmap(const QString& name, const QSize& size, qreal devicePixelRatio)
{
    if (size.isEmpty())
        return QPixmap();
    const QString key = QStringLiteral("velmora-art:%1:%2x%3@%4")
                            .arg(path(name))
                            .arg(size.width())
                            .arg(size.height())
                            .arg(devicePixelRatio);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;
    QPixmap rendered(size * devicePixelRatio);
    rendered.setDevicePixelRatio(devicePixelRatio);
    rendered.fill(Qt::transparent);
    {
        QPainter painter(&rendered);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        paint(painter, name, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    QPixmapCache::insert(key, rendered);
    return rendered;
}

QIcon programIcon()
{
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(pixmap(QStringLiteral("velmora"), QSize(side, side)));
    return icon;
}

} // namespace Artwork
