#pragma once

#include "model/fileitem.h"

#include <QAbstractButton>
#include <QHash>
#include <QList>
#include <QPainterPath>
#include <QPixmap>

class AppState;
class Library;
class QVariantAnimation;
class Thumbs;

// One kind's shelf on the home page: a folder in the kind's accent with up
// to three of its latest files fanned out of it, the kind's title and how
// many files it holds. Pointing at it opens the fan; a click shows the kind.
class ShelfCard final : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr qreal kHeight = 186;
    static constexpr int kPrintCount = 3;
    static constexpr double kPrintThumbSize = 200;
    static constexpr double kAppThumbSize = 128;

    ShelfCard(Kind kind, AppState &state, Library &library, Thumbs &thumbs, QWidget *parent = nullptr);
    ~ShelfCard() override;

    Kind kind() const { return m_kind; }
    const QList<FileItem> &prints() const { return m_prints; }
    // "Empty" or "1,204 · 3.1 GB".
    const QString &caption() const { return m_caption; }
    bool isHovered() const { return m_hover; }
    // How far the fan has opened, 0…1, following the hover flag.
    qreal fanOpening() const { return m_fan; }
    // The folder's outline in this card's rectangle, also its clickable area.
    QPainterPath outline() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void refresh();
    void setHover(bool hover);
    void thumbnailLoaded(const QString &key);
    double thumbSize(const FileItem &item) const;
    // The print of `item` with its white card (or bare icon) and soft shadow,
    // made once per picture and scale.
    QPixmap print(const FileItem &item, qreal ratio);
    void paintFront(QPainter &p, const QPainterPath &front, const QColor &edge) const;

    Kind m_kind;
    AppState &m_state;
    Library &m_library;
    Thumbs &m_thumbs;
    QList<FileItem> m_prints;
    qsizetype m_count = 0;
    QString m_caption;
    bool m_hover = false;
    qreal m_fan = 0;
    QVariantAnimation *m_fanAnimation;
    struct Print
    {
        QPixmap pixmap;
        bool hasPicture = false;
    };
    QHash<QByteArray, Print> m_printCache;
    bool m_dark = false;
};
