#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

// The application's own icon, drawn from the vector picture bundled with the
// program, so the sidebar, the window and the desktop entry show the same mark.
class AppIcon final
{
public:
    // The resource path of the vector picture.
    static QString resourcePath();
    static QIcon icon();
    // The picture at `size` device-independent pixels for a screen of `devicePixelRatio`.
    static QPixmap pixmap(const QSize &size, qreal devicePixelRatio = 1.0);
};
