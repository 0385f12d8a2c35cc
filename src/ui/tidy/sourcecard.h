#pragma once

#include "model/sourcegroup.h"

#include <QAbstractButton>
#include <QStringList>

class AppState;
class Thumbs;

// One download source as a card: a tinted badge with the name's initial,
// the name, how many files came from there and their size, and a couple of
// those files as round thumbnails. A click opens the source's file list.
class SourceCard final : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr qreal kPadding = 11;
    static constexpr int kThumbCount = 2;

    SourceCard(const SourceGroup &group, AppState &state, Thumbs &thumbs, QWidget *parent = nullptr);

    void setGroup(const SourceGroup &group);
    const SourceGroup &group() const { return m_group; }
    bool hovered() const { return m_hovered; }
    // The badge's letter and the line under the name.
    QString initial() const { return m_initial; }
    QString detailText() const { return m_detail; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int heightForWidth(int width) const override;

    // The first character (a whole grapheme) of `name` in upper case.
    static QString initialOf(const QString &name);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void open();
    void thumbnailLoaded(const QString &key);

    SourceGroup m_group;
    AppState &m_state;
    Thumbs &m_thumbs;
    QList<FileItem> m_shown;
    QStringList m_keys;
    QString m_initial;
    QString m_detail;
    bool m_hovered = false;
    bool m_dark = false;
};
