#pragma once

#include "analysis/cleanupcard.h"
#include "files/filelistlayout.h"
#include "model/fileitem.h"

#include <QList>
#include <QSet>
#include <QWidget>

class AppState;
class BackButton;
class Banner;
class FileListModel;
class FileListView;
class Library;
class PageHeader;
class PillButton;
class ReviewRow;
class Thumbs;
class Trasher;

// The review page of one clean-up card: every file of the card with a tick,
// ticked at first; the banner says how much the ticked files take and moves
// them to the Trash. The unticked set lives only as long as the page.
class CleanupReviewPage final : public QWidget
{
    Q_OBJECT

public:
    static constexpr qreal kSideMargin = 28;
    static constexpr qreal kTopMargin = 26;
    static constexpr qreal kBottomMargin = 26;
    static constexpr qreal kSpacing = 18;
    static constexpr qreal kRowSpacing = 1;

    CleanupReviewPage(CleanupKind kind, AppState &state, Library &library, Thumbs &thumbs,
                      QWidget *parent = nullptr);

    // The Trash the buttons use; the shared one unless a test gives another.
    void setTrasher(Trasher &trasher);

    CleanupKind kind() const { return m_kind; }
    // The card's files, in card order, and those of them still ticked.
    const QList<FileItem> &items() const { return m_items; }
    QList<FileItem> selected() const;
    const QSet<QByteArray> &spared() const { return m_spared; }
    // Unticks a ticked file and ticks an unticked one.
    void toggle(const QByteArray &path);
    void selectAllOrNone();
    void trashSelected();

    BackButton &backButton() const { return *m_back; }
    PageHeader &header() const { return *m_header; }
    Banner &banner() const { return *m_banner; }
    PillButton &selectButton() const { return *m_select; }
    PillButton &trashButton() const { return *m_trash; }
    // The files under the banner, each with its tick.
    FileListView &list() const { return *m_list; }
    ReviewRow &rows() const { return *m_rows; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    static FileListLayout rowsLayout();
    void reload();
    void refreshBanner();
    void publishVisible();

    CleanupKind m_kind;
    AppState &m_state;
    Library &m_library;
    Trasher *m_trasher = nullptr;
    QList<FileItem> m_items;
    QSet<QByteArray> m_spared;
    FileListModel *m_model;
    ReviewRow *m_rows;
    FileListView *m_list;
    BackButton *m_back;
    PageHeader *m_header;
    Banner *m_banner;
    PillButton *m_select;
    PillButton *m_trash;
};
