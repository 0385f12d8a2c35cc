#pragma once

#include <QList>
#include <QWidget>

class AppState;
class CleanupTile;
class Library;
class PageHeader;
class PageScroll;
class ShieldNote;
class Thumbs;

// The clean-up overview: how much could be freed, and all six cards as
// tiles, the empty ones dimmed and out of reach.
class CleanupPage final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kSpacing = 20;
    static constexpr qreal kTileMin = 240;
    static constexpr qreal kTileMax = 400;
    static constexpr qreal kGridSpacing = 14;

    CleanupPage(AppState &state, Library &library, Thumbs &thumbs, QWidget *parent = nullptr);

    PageHeader &header() const { return *m_header; }
    // In card order: duplicates, downloads, installers, screenshots, videos, apps.
    const QList<CleanupTile *> &tiles() const { return m_tiles; }
    ShieldNote &note() const { return *m_note; }
    PageScroll &scroll() const { return *m_scroll; }

private:
    void refresh();

    Library &m_library;
    PageScroll *m_scroll;
    PageHeader *m_header;
    QList<CleanupTile *> m_tiles;
    ShieldNote *m_note;
};
