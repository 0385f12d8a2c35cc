#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QWidget>

class QPainter;

// The floating window that shows one file of a list large: a picture, a
// PDF's first page, the start of a text file, a video frame, or the type's
// icon with the name, size and dates. Left and Right step through the list,
// Space closes it. The content is read in the background, so stepping
// through large pictures never holds the keyboard.
class PreviewPanel final : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewPanel(QWidget *parent = nullptr);

    void setPaths(const QList<QByteArray> &paths);
    const QList<QByteArray> &paths() const { return m_paths; }
    // Shows paths()[index]; an index outside the list shows nothing.
    void setCurrentIndex(int index);
    int currentIndex() const { return m_index; }

    // What the panel draws for the current file.
    enum class Content { none, picture, text, details };
    Content content() const { return m_content; }

    QSize sizeHint() const override;

    // Room the panel keeps from the screen's edges.
    static constexpr int kScreenMargin = 24;
    // Where the panel opens: `wanted`, made smaller where the screen's
    // `available` area is, centred over `over` (the window it was opened
    // from) or, when that is empty, over the screen, and then moved wholly onto it.
    static QRect placement(const QRect &over, const QSize &wanted, const QRect &available);
    // A date written as the inspector writes it.
    static QString dateText(const QDateTime &date);

signals:
    // Left or Right moved to another file of the list.
    void stepped();
    // The panel went away: Space, Escape, the window's close button.
    void closed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    struct Loaded
    {
        Content content = Content::details;
        QImage picture;
        QString text;
    };
    static Loaded load(const QByteArray &path, int pixels);
    void reload();
    void paintDetails(QPainter &p, const QRectF &area);

    QList<QByteArray> m_paths;
    int m_index = -1;
    Content m_content = Content::none;
    QImage m_picture;
    QString m_text;
    QImage m_icon;
    quint64 m_ticket = 0;
    bool m_dark = false;
};
