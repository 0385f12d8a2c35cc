#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QList>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QWidget>

#include "thumbs.h"

#include <atomic>
#include <optional>

class QPainter;

// The floating window that shows one file of a list large: a picture, a
// PDF's first page, the start of a text file, a video frame, or the type's
// icon with the name, size and dates. Left and Right step through the list,
// Space closes it. The content and the file's details are read on the
// panel's own threads, so stepping through large pictures never holds the
// keyboard and painting never touches the disk.
class PreviewPanel final : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewPanel(QWidget *parent = nullptr);
    ~PreviewPanel() override;

    void setPaths(const QList<QByteArray> &paths);
    const QList<QByteArray> &paths() const { return m_paths; }
    // Shows paths()[index]; an index outside the list shows nothing.
    void setCurrentIndex(int index);
    int currentIndex() const { return m_index; }

    // What the panel draws for the current file.
    enum class Content { none, picture, text, details };
    Content content() const { return m_content; }
    // The shown file's name, and its kind, size and date as the panel
    // writes them ("PNG", "2.1 MB", "Modified Mar 4, 2025 at 9:12 AM");
    // the details are empty until they have been read.
    QString fileName() const;
    const QStringList &details() const { return m_details; }
    // "3 of 12"; empty when nothing is shown.
    QString position() const;
    const QString &text() const { return m_text; }
    // Where the content is drawn, below the title line, and where the
    // picture sits in it (empty when none is shown).
    QRectF contentRect() const;
    QRectF pictureRect() const;
    // True once the background read of the shown file has come back.
    bool isLoaded() const { return m_loaded; }

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
        bool exists = false;
        bool isDir = false;
        qint64 size = 0;
        QDateTime modified;
        QDateTime created;
        std::optional<Thumbs::TypeIcon> type;
    };
    static Loaded load(const QByteArray &path, int pixels);
    void reload();
    void arrived(const Loaded &loaded);
    void paintDetails(QPainter &p, const QRectF &area);
    // Tells a screen reader the panel now speaks of another file.
    void announce();

    QList<QByteArray> m_paths;
    int m_index = -1;
    Content m_content = Content::none;
    QImage m_picture;
    QString m_text;
    QImage m_icon;
    QStringList m_details;
    QStringList m_lines;
    bool m_loaded = false;
    std::atomic<quint64> m_ticket = 0;
    bool m_dark = false;
    QThreadPool m_pool;
};
