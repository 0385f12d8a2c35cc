#pragma once

#include "model/fileitem.h"

#include <QList>
#include <QString>
#include <QWidget>

class AppState;
class EmptyState;
class FileCard;
class FileListModel;
class FileListView;
class FileRow;
class PageHeader;
class Thumbs;

// The page of most destinations: one list of files in the chosen sort
// order, under a page header and an optional header widget, as a grid of
// cards or a list of rows. It tells the window state how many cards fit in
// a row and which files it shows, in display order, and scrolls to the file
// keyboard movement selects.
class FilesPage final : public QWidget
{
    Q_OBJECT

public:
    static constexpr qreal kSideMargin = 26;
    static constexpr qreal kTopMargin = 24;
    static constexpr qreal kBottomMargin = 24;
    static constexpr qreal kSpacing = 18;
    static constexpr qreal kGridSpacing = 8;
    static constexpr qreal kRowSpacing = 1;
    static constexpr double kMaxCardFactor = 1.6;

    // With the shared window state and thumbnail cache.
    FilesPage(const QString &title, const QString &subtitle, const QList<FileItem> &items,
              const QString &emptySymbol, const QString &emptyTitle, const QString &emptyDetail,
              QWidget *parent = nullptr);
    FilesPage(AppState &state, Thumbs &thumbs, QWidget *parent = nullptr);
    ~FilesPage() override;

    void setTitle(const QString &title);
    void setSubtitle(const QString &subtitle);
    void setItems(const QList<FileItem> &items);
    void setEmpty(const QString &symbol, const QString &title, const QString &detail);
    // Placed under the page header; takes ownership, replaces the previous one.
    void setHeader(QWidget *header);

    const QList<FileItem> &sorted() const;
    FileListView &view() const { return *m_view; }
    FileCard &card() const { return *m_card; }
    FileRow &row() const { return *m_row; }
    PageHeader &pageHeader() const { return *m_pageHeader; }
    EmptyState &emptyState() const { return *m_empty; }
    QWidget *header() const { return m_header; }

    // (width − 52 + 8) ÷ (cardSize + 8), truncated; 1 when that is below 2.
    static int columnsFor(qreal width, double cardSize);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setColumns(qreal width);
    // Cards in a grid, or rows, as the window state asks.
    void applyListMode();
    void resort();
    void publishVisible();
    void scrollToTarget();

    AppState &m_state;
    Thumbs &m_thumbs;
    QList<FileItem> m_items;
    FileListModel *m_model;
    FileCard *m_card;
    FileRow *m_row;
    FileListView *m_view;
    QWidget *m_column;
    PageHeader *m_pageHeader;
    EmptyState *m_empty;
    QWidget *m_header = nullptr;
};
