#pragma once

#include <QAbstractButton>

// The plain "‹ Clean Up" link at the top of a review page.
class BackButton final : public QAbstractButton
{
    Q_OBJECT

public:
    explicit BackButton(const QString &title, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_dark = false;
};
