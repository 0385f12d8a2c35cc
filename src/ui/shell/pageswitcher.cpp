#include "pageswitcher.h"

#include "files/thumbs.h"
#include "home/homepage.h"
#include "library/library.h"
#include "pages/filespage.h"
#include "pages/kindpage.h"
#include "search/searchpage.h"
#include "search/searchtexts.h"
#include "state/appstate.h"
#include "tidy/cleanuppage.h"
#include "tidy/cleanupreviewpage.h"
#include "tidy/duplicatespage.h"
#include "tidy/sourcespage.h"

#include <QStackedLayout>

PageSwitcher::PageSwitcher(AppState &state, Library &library, Thumbs &thumbs, QWidget *parent)
    : QWidget(parent), m_state(state), m_library(library), m_thumbs(thumbs), m_stack(new QStackedLayout(this)),
      m_search(new SearchPage(state, library, thumbs))
{
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_search);
    connect(&state, &AppState::routeChanged, this, &PageSwitcher::followRoute);
    connect(&state, &AppState::queryChanged, this, &PageSwitcher::followQuery);

    // The file lists read these; a page that does not show them ignores the call.
    for (auto changed : {&Library::itemsChanged, &Library::recentsChanged, &Library::largeFilesChanged,
                         &Library::screenshotsChanged, &Library::sourcesChanged, &Library::pinnedChanged})
        connect(&library, changed, this, &PageSwitcher::refreshFiles);
    // Progress of the text pass only touches the screenshots subtitle.
    connect(&library, &Library::ocrDoneChanged, this, &PageSwitcher::refreshOcrNote);
    connect(&library, &Library::ocrTotalChanged, this, &PageSwitcher::refreshOcrNote);

    m_builtRoute = state.route();
    m_routed = build(m_builtRoute);
    m_stack->addWidget(m_routed);
    followQuery();
}

QWidget *PageSwitcher::current() const
{
    return m_stack->currentWidget();
}

void PageSwitcher::followRoute()
{
    if (m_state.route() == m_builtRoute && m_routed)
        return;
    QWidget *old = m_routed;
    m_files = nullptr;
    m_filesItems.clear();
    m_builtRoute = m_state.route();
    m_routed = build(m_builtRoute);
    m_stack->addWidget(m_routed);
    if (old) {
        holdFocus();
        // The click that navigated may still be running inside the old page.
        m_stack->removeWidget(old);
        old->hide();
        old->deleteLater();
    }
    followQuery();
    emit pageChanged();
}

void PageSwitcher::holdFocus()
{
    // Hiding a page with the keyboard in it would send the keyboard along the
    // Tab chain (to the sidebar or a bar button); the switcher holds it until
    // the window hands it to the new page.
    QWidget *focus = window()->focusWidget();
    if (focus && isAncestorOf(focus))
        setFocus(Qt::OtherFocusReason);
}

void PageSwitcher::followQuery()
{
    const RoutePages::Page page = RoutePages::pageFor(m_builtRoute, m_state.query());
    QWidget *wanted = page == RoutePages::Page::search ? static_cast<QWidget *>(m_search) : m_routed;
    const bool changed = page != m_shown || m_stack->currentWidget() != wanted;
    m_shown = page;
    if (m_stack->currentWidget() != wanted)
        holdFocus();
    m_stack->setCurrentWidget(wanted);
    if (changed)
        emit pageChanged();
}

QWidget *PageSwitcher::build(const Route &route)
{
    switch (RoutePages::pageFor(route, {})) {
    case RoutePages::Page::home:
        return new HomePage(m_state, m_library, m_thumbs);
    case RoutePages::Page::kind:
        return new KindPage(*route.asKind(), m_library, m_state, m_thumbs);
    case RoutePages::Page::duplicates:
        return new DuplicatesPage(m_state, m_library, m_thumbs);
    case RoutePages::Page::cleanup:
        return new CleanupPage(m_state, m_library, m_thumbs);
    case RoutePages::Page::cleanupDetail:
        return new CleanupReviewPage(*route.asCleanupDetail(), m_state, m_library, m_thumbs);
    case RoutePages::Page::sources:
        return new SourcesPage(m_state, m_library, m_thumbs);
    case RoutePages::Page::files:
    case RoutePages::Page::search:
        break;
    }
    m_files = new FilesPage(m_state, m_thumbs);
    m_files->setItems({});
    refreshFiles();
    return m_files;
}

void PageSwitcher::refreshFiles()
{
    if (!m_files)
        return;
    const RoutePages::FileList list = RoutePages::fileList(m_builtRoute, m_library);
    m_files->setTitle(list.title);
    m_files->setSubtitle(list.subtitle);
    m_files->setEmpty(list.emptySymbol, list.emptyTitle, list.emptyDetail);
    // The same shared list compares at once; only a real change sorts again.
    if (m_filesItems != list.items) {
        m_filesItems = list.items;
        m_files->setItems(list.items);
    }
}

void PageSwitcher::refreshOcrNote()
{
    if (m_files && m_builtRoute.which() == Route::Case::screenshots)
        m_files->setSubtitle(RoutePages::fileList(m_builtRoute, m_library).subtitle);
}
