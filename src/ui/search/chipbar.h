#pragma once

#include "search/chip.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QWidget>

class FilterChip;
class QHBoxLayout;

// "Understood as" and one chip per filter the search text was read into,
// switched-off filters included. Hidden when the text held no filter.
class ChipBar final : public QWidget
{
    Q_OBJECT

public:
    explicit ChipBar(QWidget *parent = nullptr);

    // Rebuilds the chips only when the list itself changes; a change of
    // `dropped` alone restyles the chips in place, so the one being clicked
    // is never deleted under the pointer.
    void setChips(const QList<Chip> &chips, const QSet<QString> &dropped);
    const QList<Chip> &chips() const { return m_chips; }
    QList<FilterChip *> chipButtons() const { return m_buttons; }

signals:
    // The user clicked the chip with this id.
    void toggled(const QString &id);

private:
    QList<Chip> m_chips;
    QList<FilterChip *> m_buttons;
    QHBoxLayout *m_row;
};
