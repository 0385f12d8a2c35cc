#pragma once

#include <QAbstractButton>
#include <QString>

// One extension filter of a kind page: its title and how many files it
// holds, on a capsule that is filled with the ink colour when on.
class FacetChip final : public QAbstractButton
{
    Q_OBJECT

public:
    FacetChip(const QString &title, int count, bool on, QWidget *parent = nullptr);

    int count() const { return m_count; }
    bool isOn() const { return m_on; }
    void setOn(bool on);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    int m_count;
    bool m_on;
    bool m_dark = false;
};
