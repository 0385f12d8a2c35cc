#pragma once

#include "model/fileitem.h"

#include <QList>
#include <QWidget>

class AppState;
class Banner;
class DupGroupCard;
class Library;
class PageHeader;
class PageScroll;
class PillButton;
class ShieldNote;
class Thumbs;
class Trasher;

// Every set of identical files, largest waste first, under a banner that
// says what the extra copies take and trashes them all at once.
class DuplicatesPage final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kSpacing = 20;
    static constexpr int kCardSpacing = 12;
    // Cards are made this many at a time as the page scrolls towards its end,
    // so a home with thousands of groups opens at once.
    static constexpr int kBatch = 40;

    DuplicatesPage(AppState &state, Library &library, Thumbs &thumbs, QWidget *parent = nullptr);

    // The Trash the buttons use; the shared one unless a test gives another.
    void setTrasher(Trasher &trasher);

    // The extra copies of every group, group after group.
    QList<FileItem> extras() const;
    PageHeader &header() const { return *m_header; }
    Banner &banner() const { return *m_banner; }
    PillButton &trashAllButton() const { return *m_trashAll; }
    // The cards made so far, in group order.
    const QList<DupGroupCard *> &cards() const { return m_cards; }
    ShieldNote &note() const { return *m_note; }
    PageScroll &scroll() const { return *m_scroll; }

private:
    void refresh();
    void refreshBanner();
    // Makes cards up to `count` (at most one per group) and refreshes those there are.
    void showCards(qsizetype count);
    void scrolled(int value);

    Library &m_library;
    Thumbs &m_thumbs;
    Trasher *m_trasher = nullptr;
    PageScroll *m_scroll;
    PageHeader *m_header;
    Banner *m_banner;
    PillButton *m_trashAll;
    QWidget *m_list;
    QList<DupGroupCard *> m_cards;
    ShieldNote *m_note;
};
