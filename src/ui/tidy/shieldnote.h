#pragma once

#include <QString>
#include <QWidget>

// The reassurance under a page's list: a shield symbol and one or two lines
// of small faint text, wrapped to the page's width.
class ShieldNote final : public QWidget
{
    Q_OBJECT

public:
    explicit ShieldNote(const QString &text, QWidget *parent = nullptr);

    QString text() const { return m_text; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    bool m_dark = false;
};
