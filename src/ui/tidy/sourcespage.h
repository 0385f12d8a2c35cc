#pragma once

#include <QList>
#include <QWidget>

class AppState;
class EmptyState;
class Library;
class PageHeader;
class PageScroll;
class SourceCard;
class Thumbs;

// Every site files were downloaded from, as a grid of cards, most files first.
class SourcesPage final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kSpacing = 20;
    static constexpr qreal kCardMin = 250;
    static constexpr qreal kCardMax = 400;
    static constexpr qreal kGridSpacing = 12;

    SourcesPage(AppState &state, Library &library, Thumbs &thumbs, QWidget *parent = nullptr);

    PageHeader &header() const { return *m_header; }
    const QList<SourceCard *> &cards() const { return m_cards; }
    // Shown instead of the grid when no file has a known source.
    EmptyState &emptyState() const { return *m_empty; }
    PageScroll &scroll() const { return *m_scroll; }

private:
    void refresh();

    AppState &m_state;
    Library &m_library;
    Thumbs &m_thumbs;
    PageScroll *m_scroll;
    PageHeader *m_header;
    QWidget *m_grid;
    EmptyState *m_empty;
    QList<SourceCard *> m_cards;
};
