#pragma once

#include "analysis/cleanupcard.h"

#include <QAbstractButton>
#include <QStringList>

class AppState;
class Thumbs;

// One clean-up suggestion as a tile: the card's symbol on a tinted disc, a
// few of its files as round thumbnails, its title, the bytes it would free
// and how many files it holds. A click opens the card: the duplicates page
// for extra copies, the card's review page for the others. A disabled tile
// (an empty card on the clean-up page) is drawn at half opacity.
class CleanupTile final : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr qreal kPadding = 14;
    static constexpr int kThumbCount = 3;

    CleanupTile(const CleanupCard &card, AppState &state, Thumbs &thumbs, QWidget *parent = nullptr);

    void setCard(const CleanupCard &card);
    const CleanupCard &card() const { return m_card; }
    bool hovered() const { return m_hovered; }
    // "Forgotten downloads", "3.1 GB", "12 items".
    QString sizeText() const { return m_sizeText; }
    QString countText() const { return m_countText; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void open();
    void thumbnailLoaded(const QString &key);

    CleanupCard m_card;
    AppState &m_state;
    Thumbs &m_thumbs;
    QList<FileItem> m_shown;
    QStringList m_keys;
    QString m_sizeText;
    QString m_countText;
    bool m_hovered = false;
    bool m_dark = false;
};
