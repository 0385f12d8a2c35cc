#pragma once

#include <QString>
#include <QWidget>

class QHBoxLayout;
class QSpacerItem;

// The dark summary band of the duplicates and review pages: a symbol on a
// faint disc, a large title over one line of detail, and the actions at the
// far end. It is the same dark colour in light and dark mode.
class Banner final : public QWidget
{
    Q_OBJECT

public:
    Banner(const QString &symbol, const QString &title, const QString &detail, QWidget *parent = nullptr);

    void setSymbol(const QString &symbol);
    void setTitle(const QString &title);
    void setDetail(const QString &detail);
    // Appends `action` at the far end; takes ownership. A hidden action takes no room.
    void addAction(QWidget *action);

    QString symbol() const { return m_symbol; }
    QString title() const { return m_title; }
    QString detail() const { return m_detail; }
    // Where the title and the detail are drawn: between the symbol and the actions.
    QRectF titleRect() const;
    QRectF detailRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void textsChanged();

    QString m_symbol;
    QString m_title;
    QString m_detail;
    QHBoxLayout *m_layout;
    // Holds the texts' room in the row: as much as they need when there is
    // space to spare, less (and elided) when there is not.
    QSpacerItem *m_texts;
};
