#pragma once

#include "analysis/dupgroup.h"

#include <QRectF>
#include <QStringList>
#include <QWidget>

class Library;
class PillButton;
class QScrollArea;
class Thumbs;
class Trasher;

// One set of identical files: its name and what it would free, a button
// that trashes every copy but the kept one, and a sideways row of the
// copies, the kept one outlined in green. Clicking a copy keeps it instead.
class DupGroupCard final : public QWidget
{
    Q_OBJECT

public:
    static constexpr qreal kPadding = 14;
    static constexpr qreal kCellWidth = 138;
    static constexpr qreal kCellMargin = 7;
    static constexpr qreal kCellSpacing = 10;
    static constexpr double kThumbSize = 200;

    DupGroupCard(const DupGroup &group, Library &library, Thumbs &thumbs, QWidget *parent = nullptr);

    void setGroup(const DupGroup &group);
    // The Trash the button uses; none means the shared one.
    void setTrasher(Trasher *trasher);
    const DupGroup &group() const { return m_group; }

    QString name() const { return m_name; }
    QString line() const { return m_line; }
    PillButton &keepButton() const { return *m_keep; }
    // The row of copies and where each lies in it.
    QWidget &cells() const { return *m_cells; }
    QRectF cellRect(int index) const;
    static qreal cellHeight();

    // What clicking a copy and its menu do.
    void keepCopy(int index);
    void quickLook(int index);
    void reveal(int index);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Geometry
    {
        QPointF nameBaseline;
        QPointF lineBaseline;
        QRect keep;
        QRect row;
        int height = 0;
    };
    Geometry geometryFor(int width) const;
    void place();
    void thumbnailLoaded(const QString &key);

    DupGroup m_group;
    Library &m_library;
    Thumbs &m_thumbs;
    Trasher *m_trasher = nullptr;
    QString m_name;
    QString m_line;
    QStringList m_keys;
    PillButton *m_keep;
    QScrollArea *m_scroll;
    QWidget *m_cells;
    bool m_dark = false;
};
