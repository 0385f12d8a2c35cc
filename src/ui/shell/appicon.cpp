#include "appicon.h"

#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

// Outside any namespace, as the resource initialiser requires.
static void initShellResources()
{
    // A static library's resources are only linked in when something names them.
    static const bool done = [] {
        Q_INIT_RESOURCE(shellresources);
        return true;
    }();
    Q_UNUSED(done);
}

QString AppIcon::resourcePath()
{
    initShellResources();
    return QStringLiteral(":/tovalo/tovalo.svg");
}

QIcon AppIcon::icon()
{
    QIcon out;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256})
        out.addPixmap(pixmap(QSize(side, side)));
    return out;
}

QPixmap AppIcon::pixmap(const QSize &size, qreal devicePixelRatio)
{
    // Rendered once per size and scale: the sidebar header repaints often.
    static QHash<QString, QPixmap> made;
    const QString key = QStringLiteral("%1x%2@%3").arg(size.width()).arg(size.height()).arg(devicePixelRatio);
    const auto at = made.constFind(key);
    if (at != made.constEnd())
        return *at;
    QPixmap out(size * devicePixelRatio);
    out.fill(Qt::transparent);
    QSvgRenderer renderer(resourcePath());
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(out.size())));
    p.end();
    out.setDevicePixelRatio(devicePixelRatio);
    made.insert(key, out);
    return out;
}
