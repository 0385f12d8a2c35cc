#pragma once

#include "model/fileitem.h"

#include <QSizeF>
#include <QString>
#include <QWidget>

class QPainter;

// The small capsule naming a file's type: an accent dot and the extension in
// capitals (the kind's title when there is no extension). File cards paint it
// over their thumbnail through paint(); the widget form is for other views.
class KindTag final : public QWidget
{
    Q_OBJECT

public:
    explicit KindTag(const FileItem &item, QWidget *parent = nullptr);

    void setItem(const FileItem &item);
    QString text() const { return m_label; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // "PDF", "JPG", or "DOCUMENTS" for a document without an extension.
    static QString label(const FileItem &item);
    static QString label(const QString &ext, Kind kind);
    static QSizeF measure(const QString &label);
    static void paint(QPainter &painter, const QPointF &topLeft, const QString &label, Kind kind,
                      bool dark);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_label;
    Kind m_kind = Kind::other;
    bool m_dark = false;
};
