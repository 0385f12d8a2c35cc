#pragma once

#include "search/chip.h"

#include <QAbstractButton>

// One filter the search understood, as a small button: in accent colours
// with a cross while it applies, greyed and struck through with a plus once
// the user switched it off.
class FilterChip final : public QAbstractButton
{
    Q_OBJECT

public:
    FilterChip(const Chip &chip, bool dropped, QWidget *parent = nullptr);

    const Chip &chip() const { return m_chip; }
    bool isDropped() const { return m_dropped; }
    void setDropped(bool dropped);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Chip m_chip;
    bool m_dropped;
    bool m_dark = false;
};
