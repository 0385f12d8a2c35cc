#pragma once

#include <optional>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QWidget>

class QPropertyAnimation;
class Trasher;

// The status message at the bottom of the window: a dark capsule with the
// Trash's latest message and, while the last batch can be put back, an Undo
// button. It rises in from the bottom edge while fading in, sinks away when
// the message ends, and eases between two messages in place.
//
// An overlay child of `host`, kept centred 22 px above its bottom edge; its
// shadow is a separate sibling that lets the pointer through.
class Toast final : public QWidget
{
    Q_OBJECT
    // 0 gone below the edge and transparent, 1 in place.
    Q_PROPERTY(qreal presence READ presence WRITE setPresence)
    // 0 the previous message, 1 the current one.
    Q_PROPERTY(qreal morph READ morph WRITE setMorph)

public:
    static constexpr int kBottomMargin = 22;
    static constexpr int kSpringMs = 340;

    Toast(Trasher &trasher, QWidget *host);
    ~Toast() override;

    // What the capsule shows (or last showed, while it leaves).
    const QString &message() const { return m_to.message; }
    bool showsUndo() const { return m_to.undo; }
    // True from the moment a message arrives until the capsule has left.
    bool isShowing() const { return m_showing; }
    // The Undo button's area, in the toast's coordinates; empty without one.
    QRectF undoRect() const;
    // What the Undo button does: puts the last batch back while it is offered.
    void undo();

    qreal presence() const { return m_presence; }
    void setPresence(qreal presence);
    qreal morph() const { return m_morph; }
    void setMorph(qreal morph);

    // The step response of a critically damped spring of the capsule's
    // response time, scaled to end at exactly 1.
    static qreal spring(qreal progress);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    struct Content
    {
        QString message;
        bool undo = false;
        friend bool operator==(const Content &, const Content &) = default;
    };

    void scheduleSync();
    void sync();
    void relayout();
    QSizeF capsuleSize(const Content &content) const;
    void paintContent(QPainter &p, const Content &content, const QRectF &capsule, qreal opacity) const;
    QRectF undoRectIn(const Content &content, const QRectF &capsule) const;
    void setUndoHover(bool hover);
    void offerUndo(bool undo);

    Trasher &m_trasher;
    QPointer<QWidget> m_host;
    QPointer<QWidget> m_shadow;
    QPropertyAnimation *m_enter = nullptr;
    QPropertyAnimation *m_change = nullptr;
    Content m_from;
    Content m_to;
    qreal m_presence = 0;
    qreal m_morph = 1;
    bool m_showing = false;
    bool m_syncPending = false;
    bool m_undoHover = false;
    bool m_undoDown = false;
};
