#pragma once

#include <QString>
#include <QWidget>

// What a page shows when it has nothing to list: a large faint symbol, a
// title and a sentence of detail, centred across the full width.
class EmptyState final : public QWidget
{
    Q_OBJECT

public:
    EmptyState(const QString &symbol, const QString &title, const QString &detail,
               QWidget *parent = nullptr);

    void setContent(const QString &symbol, const QString &title, const QString &detail);
    QString symbol() const { return m_symbol; }
    QString title() const { return m_title; }
    QString detail() const { return m_detail; }

    // Where the symbol, the title and the detail are drawn.
    QRectF symbolRect() const;
    QRectF titleRect() const;
    QRectF detailRect() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Geometry
    {
        QRectF symbol;
        QRectF title;
        QRectF detail;
        qreal height = 0;
    };
    Geometry geometryFor(qreal width, qreal height) const;

    QString m_symbol;
    QString m_title;
    QString m_detail;
    bool m_dark = false;
};
