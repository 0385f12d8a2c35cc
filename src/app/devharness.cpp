#include "devharness.h"

#include "keytest.h"
#include "snapshotmode.h"

#include "library/library.h"
#include "shell/mainwindow.h"
#include "state/appstate.h"
#include "state/trasher.h"
#include "theme/appearance.h"

#include <QApplication>
#include <QHash>
#include <QTimer>
#include <QWidget>

#include <cmath>
#include <cstdio>
#include <sys/stat.h>

namespace {

QHash<QString, DevHarness::View> &views()
{
    static QHash<QString, DevHarness::View> registered;
    return registered;
}

std::optional<QString> variable(const char *name)
{
    if (!qEnvironmentVariableIsSet(name))
        return std::nullopt;
    return qEnvironmentVariable(name);
}

bool exists(const QByteArray &path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

// The extras of the first duplicate groups go to the Trash and come back;
// each half says how many files it found where they should be.
void trashTest()
{
    QList<FileItem> picked;
    for (const DupGroup &group : Library::shared().dupGroups()) {
        for (const FileItem &extra : group.extras()) {
            if (picked.size() == 2)
                break;
            picked.append(extra);
        }
        if (picked.size() == 2)
            break;
    }
    Trasher &trasher = Trasher::shared();
    const auto message = [&trasher] { return trasher.message().value_or(QStringLiteral("-")); };
    const QString total = QString::number(picked.size());
    trasher.trash(picked);
    qsizetype gone = 0;
    for (const FileItem &item : picked)
        gone += exists(item.path()) ? 0 : 1;
    DevHarness::print(QStringLiteral("trash-test trashed=%1/%2 message=%3").arg(gone).arg(total, message()));
    trasher.undo();
    qsizetype back = 0;
    for (const FileItem &item : picked)
        back += exists(item.path()) ? 1 : 0;
    DevHarness::print(QStringLiteral("trash-test restored=%1/%2 message=%3").arg(back).arg(total, message()));
}

} // namespace

namespace DevHarness {

void addView(const QString &name, View view)
{
    views().insert(name, std::move(view));
}

std::optional<View> view(const QString &name)
{
    const auto found = views().constFind(name);
    if (found == views().constEnd())
        return std::nullopt;
    return *found;
}

std::optional<Route> routeNamed(const QString &name)
{
    if (name == u"recents")
        return Route::recents();
    if (name == u"images")
        return Route::kind(Kind::image);
    if (name == u"apps")
        return Route::kind(Kind::app);
    if (name == u"screenshots")
        return Route::screenshots();
    if (name == u"duplicates")
        return Route::duplicates();
    if (name == u"cleanup")
        return Route::cleanup();
    if (name == u"review")
        return Route::cleanupDetail(CleanupKind::downloads);
    if (name == u"sources")
        return Route::sources();
    return std::nullopt;
}

std::optional<double> seconds(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double waitSeconds(const std::optional<QString> &text)
{
    constexpr double kDefaultWait = 7;
    if (!text)
        return kDefaultWait;
    return seconds(*text).value_or(kDefaultWait);
}

void print(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

QStringList windowNames()
{
    QStringList names;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        // Menus and tool tips are windows to Qt, not to the user.
        const Qt::WindowType type = top->windowType();
        if (!top->isVisible() || type == Qt::Popup || type == Qt::ToolTip || type == Qt::Desktop)
            continue;
        names.append(top->objectName().isEmpty() ? QStringLiteral("?") : top->objectName());
    }
    return names;
}

QString quotedList(const QStringList &items)
{
    QStringList quoted;
    quoted.reserve(items.size());
    for (QString item : items) {
        item.replace(u'\\', QStringLiteral("\\\\"));
        item.replace(u'"', QStringLiteral("\\\""));
        quoted.append(u'"' + item + u'"');
    }
    return u'[' + quoted.join(QStringLiteral(", ")) + u']';
}

void selectFirstVisible()
{
    AppState &state = AppState::shared();
    if (state.visible().isEmpty())
        return;
    const QByteArray first = state.visible().first().path();
    state.setSelection({first});
    state.setAnchor(first);
    AppState::releaseSearchFocus();
}

void after(double seconds, std::function<void()> action)
{
    QTimer::singleShot(std::chrono::milliseconds(qint64(std::max(0.0, seconds) * 1000)), Qt::PreciseTimer, qApp,
                       std::move(action));
}

void runIfAsked()
{
    AppState &state = AppState::shared();
    if (const auto route = variable("TOVALO_ROUTE")) {
        if (const auto to = routeNamed(*route))
            state.go(*to);
    }
    if (variable("TOVALO_LIST"))
        state.setListMode(true);
    if (variable("TOVALO_INSPECTOR"))
        state.setShowInspector(true);
    if (variable("TOVALO_DARK"))
        Appearance::shared().setForcedDark(true);
    if (variable("TOVALO_TRASH_TEST"))
        after(3.0, trashTest);
    // Parse mode never gets here: it runs before any window exists, so it needs no display.
    if (variable("TOVALO_KEY_TEST"))
        KeyTest::start();
    if (const auto close = variable("TOVALO_CLOSE_AFTER")) {
        if (const auto delay = seconds(*close)) {
            after(*delay, [] {
                if (QWidget *main = MainWindow::find())
                    main->close();
            });
        }
    }
    if (const auto path = variable("TOVALO_SNAPSHOT")) {
        SnapshotMode::start(*path);
        return;
    }
    if (const auto query = variable("TOVALO_QUERY"))
        state.setQuery(*query);
}

} // namespace DevHarness
