#include "indexsettings.h"

#include <QSettings>

namespace {

QSettings store()
{
    return QSettings(QStringLiteral("Tovalo"), QStringLiteral("Tovalo"));
}

} // namespace

bool IndexSettings::enabled()
{
    return store().value(QStringLiteral("indexEnabled"), true).toBool();
}

void IndexSettings::setEnabled(bool on)
{
    store().setValue(QStringLiteral("indexEnabled"), on);
}

bool IndexSettings::paused()
{
    return store().value(QStringLiteral("indexPaused"), false).toBool();
}

void IndexSettings::setPaused(bool on)
{
    store().setValue(QStringLiteral("indexPaused"), on);
}
