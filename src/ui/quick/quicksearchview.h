#pragma once

#include "quickmodel.h"
#include "quickrow.h"

#include "model/fileitem.h"
#include "pages/filelistmodel.h"
#include "search/chip.h"
#include "search/query.h"
#include "search/searchsession.h"
#include "state/appstate.h"

#include <QList>
#include <QPoint>
#include <QRectF>
#include <QWidget>

#include <optional>

class FileListView;
class Library;
class QLineEdit;
class QPainter;
class Thumbs;

// The Quick Search panel's content: the search field, the heading with the
// filters understood from the text as read-only chips, up to seven files
// (the most recent with an empty field), and the key hints. The files come
// from the catalog at once and from the wide search after a pause in typing;
// an answer to an older text is dropped.
class QuickSearchView final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 660;
    static constexpr int kHeight = 440;

    QuickSearchView(QuickModel &model, Library &library, Thumbs &thumbs, QWidget *parent = nullptr);

    // The files shown: the search's matches, or the recent files for a
    // blank text, at most seven.
    QList<FileItem> rows() const;
    const QList<Chip> &chips() const { return m_chips; }
    QString heading() const;
    // The line shown instead of rows when there are none.
    QString emptyText() const;
    QLineEdit *field() const { return m_field; }
    QuickModel &model() const { return m_model; }
    // The rows' list, which the pointer and a screen reader use; the field keeps the keyboard.
    FileListView *list() const { return m_list; }
    // Where row `row` is drawn, in this widget's coordinates.
    QRectF rowRect(int row) const;
    // The wide search is under way or waiting for the pause to end.
    bool searching() const;

    // Acts on the selected file of `rows` as the modifiers say; nothing when
    // no row is selected (the panel stays).
    void act(const QList<FileItem> &rows, Qt::KeyboardModifiers modifiers);

    // One key hint of the footer: the key on a well, then what it does.
    struct Hint
    {
        QString key;
        QString label;
    };
    static QList<Hint> hints();

signals:
    // A file action was chosen; the panel is to go away first.
    void acted(QuickModel::Command command, const FileItem &file);
    void closeRequested();
    // A picture of the panel is on its way to the screen; lets a test and a
    // benchmark see the panel really drawn, not just asked to show.
    void painted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void textEdited(const QString &text);
    void modelTextChanged();
    void search();
    // Gives the list the rows to show now, and the marker to the selected one.
    void showRows();
    void markSelectedRow();
    void announceRow();
    void applyPalette();
    qreal rowHeight() const;
    qreal rowsTop() const;
    void paintSection(QPainter &p);
    void paintEmpty(QPainter &p);
    void paintFooter(QPainter &p);

    QuickModel &m_model;
    Library &m_library;
    Thumbs &m_thumbs;
    QLineEdit *m_field = nullptr;
    bool m_dark = false;

    Query m_query;
    QList<Chip> m_chips;
    QList<FileItem> m_found;
    SearchSession m_session;

    FileListModel m_rows;
    QuickRow m_rowCell;
    // The list's selection: the row the keys are on, and nothing else.
    AppState m_marked;
    FileListView *m_list = nullptr;
};
