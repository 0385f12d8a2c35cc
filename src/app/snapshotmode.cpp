#include "snapshotmode.h"

#include "devharness.h"

#include "library/library.h"
#include "model/fmt.h"
#include "shell/mainwindow.h"
#include "state/appstate.h"

#include <QApplication>
#include <QPixmap>
#include <QSet>
#include <QWidget>

#include <algorithm>

namespace {

constexpr int kTopLabels = 45;
constexpr int kFirstPaths = 8;

QWidget *pictured(const std::optional<DevHarness::View> &view)
{
    if (view && view->widget) {
        if (QWidget *widget = view->widget())
            return widget;
    }
    if (QWidget *main = MainWindow::find())
        return main;
    const QWidgetList tops = QApplication::topLevelWidgets();
    return tops.isEmpty() ? nullptr : tops.first();
}

void finish(const QString &path, const std::optional<DevHarness::View> &view)
{
    if (QWidget *widget = pictured(view)) {
        if (!widget->grab().save(path, "PNG"))
            qWarning("tovalo: cannot write the snapshot %s", qPrintable(path));
    }
    const Library &library = Library::shared();
    if (qEnvironmentVariableIsSet("TOVALO_SUBJECTS"))
        DevHarness::print(SnapshotMode::subjectsLine(library.subjects(), library.ocrDone(), library.ocrTotal()));
    if (qEnvironmentVariableIsSet("TOVALO_QUERY")) {
        const QList<FileItem> &visible = AppState::shared().visible();
        QStringList paths;
        for (qsizetype i = 0; i < visible.size() && i < kFirstPaths; ++i)
            paths.append(Fmt::path(visible.at(i).pathString()));
        DevHarness::print(SnapshotMode::searchLine(paths, visible.size()));
    }
    DevHarness::print(QStringLiteral("snapshot %1 items=%2 dups=%3 sources=%4 ocr=%5 windows=[%6]")
                          .arg(path)
                          .arg(library.items().size())
                          .arg(library.dupGroups().size())
                          .arg(library.sources().size())
                          .arg(library.ocr().size())
                          .arg(DevHarness::windowNames().join(QStringLiteral(", "))));
    QCoreApplication::exit(0);
}

} // namespace

namespace SnapshotMode {

QString subjectsLine(const QHash<QByteArray, QStringList> &subjects, int done, int total)
{
    QHash<QString, int> counts;
    for (const QStringList &labels : subjects) {
        // A picture counts once for a label, however often it was found in it.
        const QSet<QString> once(labels.begin(), labels.end());
        for (const QString &label : once)
            ++counts[label];
    }
    QList<QPair<QString, int>> ranked;
    ranked.reserve(counts.size());
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        ranked.append({it.key(), it.value()});
    // Ties in name order, so the line is the same on every run.
    std::sort(ranked.begin(), ranked.end(), [](const auto &a, const auto &b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    QStringList top;
    for (qsizetype i = 0; i < ranked.size() && i < kTopLabels; ++i)
        top.append(ranked.at(i).first + u' ' + QString::number(ranked.at(i).second));
    return QStringLiteral("subjects pictures=%1 read=%2/%3 top: %4")
        .arg(subjects.size())
        .arg(done)
        .arg(total)
        .arg(top.join(QStringLiteral(", ")));
}

QString searchLine(const QStringList &paths, qsizetype visible)
{
    return QStringLiteral("search-test visible=%1 first=%2").arg(visible).arg(DevHarness::quotedList(paths));
}

void start(const QString &path)
{
    const double wait = DevHarness::waitSeconds(
        qEnvironmentVariableIsSet("TOVALO_WAIT") ? std::optional(qEnvironmentVariable("TOVALO_WAIT")) : std::nullopt);
    const std::optional<DevHarness::View> view = DevHarness::view(qEnvironmentVariable("TOVALO_VIEW"));
    const std::optional<QString> query =
        qEnvironmentVariableIsSet("TOVALO_QUERY") ? std::optional(qEnvironmentVariable("TOVALO_QUERY")) : std::nullopt;
    if (view && view->open)
        view->open();
    DevHarness::after(wait / 2, [view, query] {
        if (query && !(view && view->takesQuery))
            AppState::shared().setQuery(*query);
        if (qEnvironmentVariableIsSet("TOVALO_SELECT"))
            DevHarness::after(1.0, DevHarness::selectFirstVisible);
        if (view && view->show)
            view->show(query);
    });
    DevHarness::after(wait, [path, view] { finish(path, view); });
}

} // namespace SnapshotMode
