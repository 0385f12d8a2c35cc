#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// Real screenshots for text recognition: xterm windows in outline and X11
// bitmap fonts, light, dark, coloured and reverse-video, and xmessage
// dialogs, on an X server of their own (Xvfb, black desktop), captured with
// ImageMagick's `import`. Each shot knows the words it shows.
class RealScreenshots final
{
public:
    struct Shot
    {
        QString name;
        QByteArray path;
        // Every word drawn, once per time it is drawn.
        QStringList words;
    };

    // Xvfb, xterm, xmessage and import are all installed.
    static bool available();
    // The names of all shots, in a fixed order.
    static QStringList names();
    // Makes the named shots (all when `only` is empty) as PNG files in
    // `folder`; a shot that could not be captured is left out, with a line
    // on stderr.
    static std::vector<Shot> make(const QByteArray &folder, const QStringList &only = {});
    // The share of `expected` words found in `text`, each as often as
    // expected, ignoring case and punctuation.
    static double recall(const QStringList &expected, const QString &text);
};
