#pragma once

#include <QScrollArea>

class QVBoxLayout;

// The frame the clean-up, duplicates and sources pages share: a vertical
// scroll view on the window background holding one column of blocks,
// padded 28 left and right and 26 above and below.
class PageScroll final : public QScrollArea
{
    Q_OBJECT

public:
    static constexpr int kSideMargin = 28;
    static constexpr int kTopMargin = 26;
    static constexpr int kBottomMargin = 26;

    explicit PageScroll(int spacing, QWidget *parent = nullptr);

    // The blocks, top to bottom; the column is aligned to the top.
    QVBoxLayout *column() const { return m_column; }

private:
    QVBoxLayout *m_column;
};
