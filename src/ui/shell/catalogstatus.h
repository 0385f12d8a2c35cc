#pragma once

#include <QWidget>

class Library;
class QTimer;

// The catalog's size at the top bar's end ("Library 12.4 GB"), replaced by
// a small spinning indicator while a scan the user can see is running.
class CatalogStatus final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kSpinnerSide = 16;
    static constexpr int kSpokes = 12;

    explicit CatalogStatus(Library &library, QWidget *parent = nullptr);

    bool showsSpinner() const;
    // What the text reads while not busy: "Library " and the size.
    QString text() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void follow();

    Library &m_library;
    QTimer *m_spin;
    int m_step = 0;
    bool m_dark = false;
};
