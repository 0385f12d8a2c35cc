#pragma once

#include "model/fileitem.h"
#include "routepages.h"
#include "state/route.h"

#include <QWidget>

class AppState;
class FilesPage;
class Library;
class QStackedLayout;
class SearchPage;
class Thumbs;

// The middle of the window: the search page while the search text holds
// anything besides spaces and tabs, the route's page otherwise. The route's
// page is built when the route changes (a new kind or clean-up card is a
// new page, so its own filters start afresh) and kept while a search covers
// it, so typing never rebuilds it and clearing the field brings it back as
// it was. The plain file lists follow the catalog as it changes.
class PageSwitcher final : public QWidget
{
    Q_OBJECT

public:
    PageSwitcher(AppState &state, Library &library, Thumbs &thumbs, QWidget *parent = nullptr);

    RoutePages::Page shownPage() const { return m_shown; }
    // The page on screen.
    QWidget *current() const;
    // The route's page, shown or covered by the search page.
    QWidget *routedPage() const { return m_routed; }
    const Route &routedRoute() const { return m_builtRoute; }
    // The route's page when it is a plain file list; null otherwise.
    FilesPage *filesPage() const { return m_files; }
    SearchPage &searchPage() const { return *m_search; }

signals:
    // Another page is on screen (the search page came or went, or the route changed).
    void pageChanged();

private:
    void followRoute();
    void followQuery();
    void holdFocus();
    QWidget *build(const Route &route);
    void refreshFiles();
    void refreshOcrNote();

    AppState &m_state;
    Library &m_library;
    Thumbs &m_thumbs;
    QStackedLayout *m_stack;
    SearchPage *m_search;
    QWidget *m_routed = nullptr;
    FilesPage *m_files = nullptr;
    // What the file list was last given, to tell a real change from a repeat.
    QList<FileItem> m_filesItems;
    Route m_builtRoute;
    RoutePages::Page m_shown = RoutePages::Page::home;
};
