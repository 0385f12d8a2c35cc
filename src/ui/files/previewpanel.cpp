#include "previewpanel.h"

#include "thumbmaker.h"
#include "thumbs.h"

#include "components/kindtag.h"
#include "model/fmt.h"
#include "shell/inspectordetails.h"
#include "model/kind.h"
#include "theme/appearance.h"
#include "theme/theme.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLocale>
#include <QMetaObject>
#include <QMimeDatabase>
#include <QPainter>
#include <QTimeZone>

#include <algorithm>

namespace {

constexpr int kMargin = 18;
constexpr int kTitleHeight = 40;
constexpr qint64 kTextBytes = 16 * 1024;
constexpr int kTextLines = 60;

bool isText(const QString &path)
{
    static const QMimeDatabase db;
    const QMimeType type = db.mimeTypeForFile(path);
    return type.inherits(QStringLiteral("text/plain"));
}

QString startOfText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.read(kTextBytes));
    const QStringList lines = text.split(u'\n');
    if (lines.size() > kTextLines)
        text = lines.mid(0, kTextLines).join(u'\n');
    return text;
}

} // namespace

PreviewPanel::PreviewPanel(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("preview"));
    setWindowTitle(QStringLiteral("Preview"));
    setFocusPolicy(Qt::StrongFocus);
    Appearance::shared().follow(this, &m_dark);
    // Its own threads: a slow PDF or video here never waits behind, nor
    // holds up, the thumbnails of the lists.
    m_pool.setMaxThreadCount(2);
    resize(sizeHint());
}

PreviewPanel::~PreviewPanel()
{
    m_pool.clear();
    m_pool.waitForDone();
}

QString PreviewPanel::fileName() const
{
    if (m_index < 0 || m_index >= m_paths.size())
        return {};
    return QFileInfo(QFile::decodeName(m_paths.at(m_index))).fileName();
}

QString PreviewPanel::position() const
{
    if (m_index < 0 || m_index >= m_paths.size())
        return {};
    return QLocale().toString(m_index + 1) + QStringLiteral(" of ") + QLocale().toString(m_paths.size());
}

QString PreviewPanel::dateText(const QDateTime &date)
{
    if (!date.isValid())
        return {};
    return InspectorDetails::date(date.toMSecsSinceEpoch(), QLocale(), QTimeZone::systemTimeZone());
}

QRect PreviewPanel::placement(const QRect &over, const QSize &wanted, const QRect &available)
{
    const auto middle = [](const QRect &r) { return QPoint(r.x() + r.width() / 2, r.y() + r.height() / 2); };
    if (available.isEmpty())
        return QRect(over.isEmpty() ? QPoint(0, 0) : middle(over) - QPoint(wanted.width() / 2, wanted.height() / 2),
                     wanted);
    const QRect room = available.adjusted(kScreenMargin, kScreenMargin, -kScreenMargin, -kScreenMargin);
    const QSize size = wanted.boundedTo(room.size());
    const QPoint centre = middle(over.isEmpty() ? room : over);
    QRect out(centre - QPoint(size.width() / 2, size.height() / 2), size);
    out.moveLeft(std::clamp(out.left(), room.left(), room.right() + 1 - size.width()));
    out.moveTop(std::clamp(out.top(), room.top(), room.bottom() + 1 - size.height()));
    return out;
}

QSize PreviewPanel::sizeHint() const
{
    return {760, 620};
}

void PreviewPanel::setPaths(const QList<QByteArray> &paths)
{
    m_paths = paths;
    reload();
}

void PreviewPanel::setCurrentIndex(int index)
{
    if (index == m_index)
        return;
    m_index = index;
    reload();
}

void PreviewPanel::reload()
{
    const quint64 ticket = ++m_ticket;
    // What has not started yet is for a file no longer shown.
    m_pool.clear();
    m_picture = {};
    m_text.clear();
    m_icon = {};
    m_details.clear();
    m_lines.clear();
    m_loaded = false;
    if (m_index < 0 || m_index >= m_paths.size()) {
        m_content = Content::none;
        setWindowTitle(QStringLiteral("Preview"));
        update();
        announce();
        return;
    }
    const QByteArray path = m_paths.at(m_index);
    setWindowTitle(fileName());
    // Until the content arrives the name stands alone.
    m_content = Content::details;
    update();
    announce();
    const qreal ratio = std::max<qreal>(1.0, devicePixelRatioF());
    const int pixels = int(std::max(width(), height()) * ratio);
    m_pool.start([this, path, pixels, ticket]() {
        if (m_ticket.load() != ticket)
            return;
        Loaded loaded = load(path, pixels);
        // Posted to the panel: dropped if it is gone by then.
        QMetaObject::invokeMethod(this, [this, ticket, loaded = std::move(loaded)]() {
            if (m_ticket.load() == ticket)
                arrived(loaded);
        }, Qt::QueuedConnection);
    });
}

void PreviewPanel::arrived(const Loaded &loaded)
{
    m_loaded = true;
    m_content = loaded.content;
    m_picture = loaded.picture;
    m_text = loaded.text;
    if (loaded.type)
        m_icon = Thumbs::iconOfType(*loaded.type, 128);
    const QString ext = QFileInfo(fileName()).suffix().toLower();
    const QString size = loaded.exists ? Fmt::size(loaded.isDir ? 0 : loaded.size) : QStringLiteral("Missing");
    const QString modified = QStringLiteral("Modified ") + dateText(loaded.modified);
    m_lines = {size, modified, QStringLiteral("Created ") + dateText(loaded.created)};
    m_details = {KindTag::label(ext, Kinds::of(ext)), size};
    if (loaded.exists)
        m_details.append(modified);
    update();
    announce();
}

void PreviewPanel::announce()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

PreviewPanel::Loaded PreviewPanel::load(const QByteArray &nativePath, int pixels)
{
    const QString path = QFile::decodeName(nativePath);
    Loaded out;
    const QFileInfo info(path);
    out.exists = info.exists();
    out.isDir = info.isDir();
    out.size = info.size();
    out.modified = info.lastModified();
    out.created = info.birthTime().isValid() ? info.birthTime() : info.metadataChangeTime();
    out.type = Thumbs::typeIconOf(nativePath);
    const QString ext = info.suffix().toLower();
    const Kind kind = Kinds::of(ext);
    // A pipe or a device is only described: reading it could wait forever.
    if (!out.exists || (!info.isFile() && !Thumbs::isApp(path)))
        return out;
    if (Thumbs::isApp(path)) {
        out.picture = Thumbs::drawn(nativePath, 256);
    } else if (kind == Kind::image) {
        out.picture = ThumbMaker::image(path, pixels);
    } else if (ext == QLatin1String("pdf")) {
        out.picture = ThumbMaker::pdfPage(path, pixels);
    } else if (kind == Kind::video) {
        out.picture = ThumbMaker::videoFrame(path, pixels);
    } else if (isText(path)) {
        out.text = startOfText(path);
        if (!out.text.isEmpty())
            out.content = Content::text;
        return out;
    }
    if (!out.picture.isNull())
        out.content = Thumbs::isApp(path) ? Content::details : Content::picture;
    return out;
}

void PreviewPanel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Escape:
        hide();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int next = m_index + (event->key() == Qt::Key_Left ? -1 : 1);
        if (next >= 0 && next < m_paths.size()) {
            setCurrentIndex(next);
            emit stepped();
        }
        return;
    }
    default:
        QWidget::keyPressEvent(event);
    }
}

void PreviewPanel::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        emit closed();
}

void PreviewPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.fillRect(rect(), Theme::bg.resolve(m_dark));

    // A title line: the file's name and where it stands in the list.
    const QRectF title(kMargin, 0, width() - 2 * kMargin, kTitleHeight);
    p.setPen(Theme::ink.resolve(m_dark));
    p.setFont(Theme::font(13, QFont::DemiBold));
    if (m_index >= 0 && m_index < m_paths.size()) {
        const QString name = fileName();
        p.setFont(Theme::font(11));
        p.setPen(Theme::ink3.resolve(m_dark));
        p.drawText(title, Qt::AlignRight | Qt::AlignVCenter, position());
        p.setFont(Theme::font(13, QFont::DemiBold));
        p.setPen(Theme::ink.resolve(m_dark));
        const QRectF nameBox = title.adjusted(0, 0, -90, 0);
        p.drawText(nameBox, Qt::AlignLeft | Qt::AlignVCenter,
                   p.fontMetrics().elidedText(name, Qt::ElideMiddle, int(nameBox.width())));
    }
    p.fillRect(QRectF(0, kTitleHeight - 1, width(), 1), Theme::line.resolve(m_dark));

    const QRectF area = contentRect();
    switch (m_content) {
    case Content::none:
        break;
    case Content::picture:
        p.drawImage(pictureRect(), m_picture);
        break;
    case Content::text:
        p.fillRect(area, Theme::surface.resolve(m_dark));
        p.setPen(Theme::ink.resolve(m_dark));
        p.setFont(Theme::font(12, QFont::Normal, Theme::Design::monospaced));
        p.drawText(area.adjusted(14, 12, -14, -12), Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs,
                   m_text);
        break;
    case Content::details:
        paintDetails(p, area);
        break;
    }
}

QRectF PreviewPanel::contentRect() const
{
    return {qreal(kMargin), qreal(kTitleHeight + kMargin), qreal(width() - 2 * kMargin),
            qreal(height() - kTitleHeight - 2 * kMargin)};
}

QRectF PreviewPanel::pictureRect() const
{
    if (m_content != Content::picture || m_picture.isNull())
        return {};
    const QRectF area = contentRect();
    QSizeF size = m_picture.deviceIndependentSize();
    // Large pictures fit the window; small ones stay at their own size.
    if (size.width() > area.width() || size.height() > area.height())
        size.scale(area.size(), Qt::KeepAspectRatio);
    return {area.center().x() - size.width() / 2, area.center().y() - size.height() / 2, size.width(),
            size.height()};
}

void PreviewPanel::paintDetails(QPainter &p, const QRectF &area)
{
    if (m_index < 0 || m_index >= m_paths.size())
        return;
    const QImage &icon = m_picture.isNull() ? m_icon : m_picture;
    const qreal side = 128;
    const QRectF iconBox(area.center().x() - side / 2, area.center().y() - side, side, side);
    if (!icon.isNull()) {
        QSizeF size = icon.deviceIndependentSize();
        size.scale(iconBox.size(), Qt::KeepAspectRatio);
        p.drawImage(QRectF(iconBox.center().x() - size.width() / 2,
                           iconBox.center().y() - size.height() / 2, size.width(), size.height()),
                    icon);
    }
    qreal y = iconBox.bottom() + 18;
    p.setPen(Theme::ink.resolve(m_dark));
    p.setFont(Theme::font(16, QFont::DemiBold));
    p.drawText(QRectF(area.left(), y, area.width(), 24), Qt::AlignHCenter | Qt::AlignVCenter,
               p.fontMetrics().elidedText(fileName(), Qt::ElideMiddle, int(area.width())));
    y += 30;
    p.setFont(Theme::font(12));
    p.setPen(Theme::ink3.resolve(m_dark));
    for (const QString &line : m_lines) {
        p.drawText(QRectF(area.left(), y, area.width(), 18), Qt::AlignHCenter | Qt::AlignVCenter, line);
        y += 20;
    }
}
