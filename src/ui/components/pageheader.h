#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

// The top of every page: a large title over a one-line subtitle, and an
// optional trailing widget (buttons, a menu) at the far end of the title's
// line, aligned on the title's baseline.
class PageHeader final : public QWidget
{
    Q_OBJECT

public:
    explicit PageHeader(const QString &title, const QString &subtitle, QWidget *parent = nullptr);

    void setTitle(const QString &title);
    void setSubtitle(const QString &subtitle);
    // Takes ownership; the previous trailing widget is deleted. A widget with
    // an int property "firstBaseline" is aligned on it, any other is centred
    // on the title's line.
    void setTrailing(QWidget *widget);

    QString title() const { return m_title; }
    QString subtitle() const { return m_subtitle; }
    QWidget *trailing() const { return m_trailing.data(); }
    // Where the title and the subtitle are drawn.
    QRectF titleRect() const;
    QRectF subtitleRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Geometry
    {
        QRectF title;
        QRectF subtitle;
        QRect trailing;
        qreal height = 0;
    };
    Geometry geometryFor(qreal width) const;
    void relayout();

    QString m_title;
    QString m_subtitle;
    QPointer<QWidget> m_trailing;
    bool m_dark = false;
};
