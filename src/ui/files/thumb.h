#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QWidget>

class QPainter;
class Thumbs;

// A file's thumbnail: the picture scaled to fill its frame (cropping) or to
// fit inside it, and a faint "doc" symbol until a picture is there or when
// none can be made. The lists paint it through paint(); the widget is for
// single files (the inspector) and asks the cache itself.
class Thumb final : public QWidget
{
    Q_OBJECT

public:
    Thumb(Thumbs &thumbs, const QByteArray &path, double size, bool fill, QWidget *parent = nullptr);

    void setPath(const QByteArray &path);
    const QByteArray &path() const { return m_path; }
    const QImage &image() const { return m_image; }

    static void paint(QPainter &painter, const QRectF &frame, const QImage &image, bool fill,
                      bool dark);
    // Where a picture of `imageSize` is drawn in `frame`.
    static QRectF placed(const QRectF &frame, const QSizeF &imageSize, bool fill);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void loaded(const QString &key);

    Thumbs &m_thumbs;
    QByteArray m_path;
    double m_size;
    bool m_fill;
    QImage m_image;
    bool m_dark = false;
};
