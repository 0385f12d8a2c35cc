#include "appstate.h"

#include "previewfollower.h"

#include <algorithm>
#include <QThread>

namespace {

// Installed once by the UI layer at start-up and read on the main thread.
std::function<void()> &searchFocusRelease()
{
    static std::function<void()> release;
    return release;
}

} // namespace

AppState &AppState::shared()
{
    static AppState *instance = new AppState;
    return *instance;
}

AppState::AppState(QObject *parent) : QObject(parent) {}

AppState::~AppState() = default;

template <typename T> void AppState::publish(T &field, const T &value, void (AppState::*changed)())
{
    Q_ASSERT(QThread::currentThread() == thread());
    if (field == value)
        return;
    field = value;
    emit(this->*changed)();
}

void AppState::setRoute(const Route &route)
{
    publish(m_route, route, &AppState::routeChanged);
}

void AppState::setQuery(const QString &query)
{
    publish(m_query, query, &AppState::queryChanged);
}

void AppState::setDroppedChips(const QSet<QString> &chips)
{
    publish(m_droppedChips, chips, &AppState::droppedChipsChanged);
}

void AppState::setSelection(const QSet<QByteArray> &selection)
{
    publish(m_selection, selection, &AppState::selectionChanged);
}

void AppState::setAnchor(const std::optional<QByteArray> &anchor)
{
    publish(m_anchor, anchor, &AppState::anchorChanged);
}

void AppState::setVisible(const QList<FileItem> &visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    m_visiblePaths.reset();
    emit visibleChanged();
}

void AppState::setColumns(int columns)
{
    publish(m_columns, columns, &AppState::columnsChanged);
}

void AppState::setShowInspector(bool show)
{
    publish(m_showInspector, show, &AppState::showInspectorChanged);
}

void AppState::setListMode(bool listMode)
{
    publish(m_listMode, listMode, &AppState::listModeChanged);
}

void AppState::setCardSize(double cardSize)
{
    publish(m_cardSize, cardSize, &AppState::cardSizeChanged);
}

void AppState::setSort(SortKey sort)
{
    publish(m_sort, sort, &AppState::sortChanged);
}

void AppState::setFocusSearch(int focusSearch)
{
    publish(m_focusSearch, focusSearch, &AppState::focusSearchChanged);
}

void AppState::setScrollTarget(const std::optional<QByteArray> &target)
{
    publish(m_scrollTarget, target, &AppState::scrollTargetChanged);
}

void AppState::go(const Route &route)
{
    setRoute(route);
    setQuery(QString());
    setDroppedChips({});
    setSelection({});
    setAnchor(std::nullopt);
}

void AppState::select(const FileItem &item, bool extend, bool range)
{
    const QByteArray &path = item.path();
    if (range && m_anchor) {
        const std::optional<qsizetype> from = indexOf(*m_anchor);
        const std::optional<qsizetype> to = from ? indexOf(path) : std::nullopt;
        if (from && to) {
            QSet<QByteArray> grown = m_selection;
            for (qsizetype i = std::min(*from, *to); i <= std::max(*from, *to); ++i)
                grown.insert(m_visible[i].path());
            // A range keeps its anchor and leaves the search field as it is.
            setSelection(grown);
            return;
        }
    }
    if (extend) {
        QSet<QByteArray> toggled = m_selection;
        if (!toggled.remove(path))
            toggled.insert(path);
        setSelection(toggled);
    } else {
        setSelection({path});
    }
    setAnchor(path);
    releaseSearchFocus();
}

QList<FileItem> AppState::targets(const FileItem &item) const
{
    if (m_selection.size() <= 1 || !m_selection.contains(item.path()))
        return {item};
    QList<FileItem> out;
    out.reserve(m_selection.size());
    for (const FileItem &shown : m_visible)
        if (m_selection.contains(shown.path()))
            out.append(shown);
    return out;
}

void AppState::move(int offset)
{
    if (m_visible.isEmpty())
        return;
    const std::optional<qsizetype> from = m_anchor ? indexOf(*m_anchor) : std::nullopt;
    const qsizetype last = m_visible.size() - 1;
    const qsizetype index = from ? std::clamp(*from + offset, qsizetype(0), last) : 0;
    const QByteArray path = m_visible[index].path();
    selectOnly(path);
    releaseSearchFocus();
    setScrollTarget(path);
    if (m_follower)
        m_follower->follow(visiblePaths(), int(index));
}

void AppState::resize(double delta)
{
    setCardSize(std::min(kMaxCardSize, std::max(kMinCardSize, m_cardSize + delta)));
}

void AppState::followPreview()
{
    if (!m_follower)
        return;
    const std::optional<QByteArray> shown = m_follower->currentPath();
    if (!shown || shown == m_anchor)
        return;
    selectOnly(*shown);
    setScrollTarget(*shown);
}

void AppState::setPreviewFollower(PreviewFollower *follower)
{
    m_follower = follower;
}

void AppState::releaseSearchFocus()
{
    if (const std::function<void()> &release = searchFocusRelease())
        release();
}

void AppState::setSearchFocusRelease(std::function<void()> release)
{
    searchFocusRelease() = std::move(release);
}

std::optional<qsizetype> AppState::indexOf(const QByteArray &path) const
{
    for (qsizetype i = 0; i < m_visible.size(); ++i)
        if (m_visible[i].path() == path)
            return i;
    return std::nullopt;
}

const QList<QByteArray> &AppState::visiblePaths() const
{
    if (!m_visiblePaths) {
        QList<QByteArray> paths;
        paths.reserve(m_visible.size());
        for (const FileItem &item : m_visible)
            paths.append(item.path());
        m_visiblePaths = std::move(paths);
    }
    return *m_visiblePaths;
}

void AppState::selectOnly(const QByteArray &path)
{
    setSelection({path});
    setAnchor(path);
}
