#pragma once

#include "rng.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Pictures that decode in any viewer, drawn with QPainter: landscapes that
// pass for camera photos, and pages, slides, screenshots and posters whose
// words are printed large and plain so that text recognition can read them.
class ImageWriter final
{
public:
    // A JPEG landscape with sensor-like grain.
    static QByteArray photo(Rng &rng, int width, int height);
    // A printed page: a receipt or invoice. `photographed` gives a JPEG of the
    // page lying on a table; otherwise a PNG scan of the page alone.
    static QByteArray paper(const QString &heading, const QStringList &lines, bool photographed,
                            Rng &rng);
    // A 16:9 presentation slide (PNG).
    static QByteArray slide(const QString &title, const QStringList &bullets, Rng &rng);
    // A full-screen capture of a desktop with one window showing `lines` (PNG).
    static QByteArray screenshot(const QString &window, const QStringList &lines, Rng &rng);
    // A bar chart with a title and labelled bars (PNG).
    static QByteArray chart(const QString &title, const QStringList &labels, Rng &rng);
    // A portrait poster with a big title (PNG).
    static QByteArray poster(const QString &title, const QString &subtitle, Rng &rng);
    // A square application icon with a letter on it (PNG).
    static QByteArray icon(const QString &letter, Rng &rng);
};
