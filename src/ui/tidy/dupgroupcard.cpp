#include "dupgroupcard.h"

#include "tidytexts.h"

#include "components/focusring.h"
#include "components/pillbutton.h"
#include "files/files.h"
#include "files/quicklook.h"
#include "files/thumb.h"
#include "files/thumbs.h"
#include "library/library.h"
#include "state/trasher.h"
#include "theme/appearance.h"
#include "theme/theme.h"

#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QToolTip>

#include <cmath>

namespace {

constexpr qreal kRadius = 16;
constexpr qreal kBlockGap = 12;
constexpr qreal kLineGap = 2;
constexpr qreal kCellRadius = 13;
constexpr qreal kPreviewHeight = 96;
constexpr qreal kPreviewRadius = 9;
constexpr qreal kPreviewInset = 6;
constexpr qreal kCaptionGap = 6;
constexpr qreal kBadgePadX = 7;
constexpr qreal kBadgePadY = 2.5;
constexpr qreal kKeptFill = 0.10;

QFont nameFont()
{
    return Theme::font(13, QFont::DemiBold, Theme::Design::monospaced);
}

QFont lineFont()
{
    return Theme::font(11.5);
}

QFont folderFont()
{
    return Theme::font(11, QFont::Medium);
}

QFont captionFont()
{
    return Theme::font(10.5);
}

QFont badgeFont()
{
    return Theme::font(10, QFont::Bold);
}

qreal outerCellWidth()
{
    return DupGroupCard::kCellWidth + 2 * DupGroupCard::kCellMargin;
}

// The copies side by side; each is a button in all but widget count.
class Cells final : public QWidget
{
public:
    Cells(DupGroupCard &card, Thumbs &thumbs) : m_card(card), m_thumbs(thumbs)
    {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        // Screen readers meet the copies through this name (see the accessibility
        // factory); nothing here may ask for the interface before the card holds it.
        setObjectName(QStringLiteral("copies"));
        // One Tab stop per group; ←/→ pick a copy, Return or Space keeps it.
        setFocusPolicy(Qt::TabFocus);
        setProperty("ownKeys", QStringLiteral("all"));
        Appearance::shared().follow(this, &m_dark);
    }

    QSize sizeHint() const override
    {
        const qsizetype n = m_card.group().items.size();
        const qreal width = n == 0 ? 0 : n * outerCellWidth() + (n - 1) * DupGroupCard::kCellSpacing;
        return {int(std::ceil(width)), int(std::ceil(DupGroupCard::cellHeight()))};
    }

    int cellAt(const QPoint &pos) const
    {
        for (int i = 0; i < m_card.group().items.size(); ++i)
            if (m_card.cellRect(i).contains(pos))
                return i;
        return -1;
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        const DupGroup &group = m_card.group();
        for (int i = 0; i < group.items.size(); ++i) {
            const QRectF cell = m_card.cellRect(i);
            if (cell.intersects(event->rect()))
                paintCell(p, cell, group.items.at(i), group.items.at(i).path() == group.keep);
            if (i == m_current && hasFocus())
                FocusRing::draw(p, cell, kCellRadius, m_dark);
        }
    }

    void setCurrent(int index)
    {
        const int count = int(m_card.group().items.size());
        m_current = count == 0 ? -1 : std::clamp(index, 0, count - 1);
        if (m_current >= 0) {
            // The row of copies scrolls sideways to show the one the keyboard is on.
            for (QWidget *up = parentWidget(); up; up = up->parentWidget()) {
                if (auto *scroll = qobject_cast<QScrollArea *>(up)) {
                    const QRect cell = m_card.cellRect(m_current).toAlignedRect();
                    scroll->ensureVisible(cell.center().x(), cell.center().y(), cell.width() / 2 + 4, 0);
                    break;
                }
            }
        }
        update();
    }

    void focusInEvent(QFocusEvent *event) override
    {
        QWidget::focusInEvent(event);
        // The keyboard starts on the kept copy.
        const DupGroup &group = m_card.group();
        int kept = 0;
        for (int i = 0; i < group.items.size(); ++i)
            if (group.items.at(i).path() == group.keep)
                kept = i;
        setCurrent(m_current >= 0 ? m_current : kept);
    }

    void focusOutEvent(QFocusEvent *event) override
    {
        QWidget::focusOutEvent(event);
        update();
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (!plain || m_current < 0) {
            QWidget::keyPressEvent(event);
            return;
        }
        switch (event->key()) {
        case Qt::Key_Left:
            setCurrent(m_current - 1);
            return;
        case Qt::Key_Right:
            setCurrent(m_current + 1);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            m_card.keepCopy(m_current);
            return;
        default:
            QWidget::keyPressEvent(event);
        }
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        m_pressed = event->button() == Qt::LeftButton ? cellAt(event->position().toPoint()) : -1;
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        const int index = cellAt(event->position().toPoint());
        if (event->button() == Qt::LeftButton && index >= 0 && index == m_pressed)
            m_card.keepCopy(index);
        m_pressed = -1;
    }

    void contextMenuEvent(QContextMenuEvent *event) override
    {
        const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
        const int index = keyboard ? m_current : cellAt(event->pos());
        if (index < 0)
            return;
        auto *menu = new QMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addAction(QStringLiteral("Quick Look"), this, [this, index]() { m_card.quickLook(index); });
        menu->addAction(QStringLiteral("Show in Folder"), this, [this, index]() { m_card.reveal(index); });
        menu->popup(keyboard ? mapToGlobal(m_card.cellRect(index).center().toPoint()) : event->globalPos());
    }

    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::ToolTip) {
            auto *help = static_cast<QHelpEvent *>(event);
            const int index = cellAt(help->pos());
            if (index < 0) {
                QToolTip::hideText();
                event->ignore();
                return true;
            }
            const DupGroup &group = m_card.group();
            QToolTip::showText(help->globalPos(), TidyTexts::cellTooltip(group.items.at(index).path() == group.keep),
                               this, m_card.cellRect(index).toAlignedRect());
            return true;
        }
        return QWidget::event(event);
    }

private:
    void paintCell(QPainter &p, const QRectF &cell, const FileItem &item, bool kept) const
    {
        const QColor good = Theme::good.resolve(m_dark);
        if (kept) {
            p.setPen(QPen(good, 1.5));
            p.setBrush(Theme::good.withOpacity(kKeptFill).resolve(m_dark));
            p.drawRoundedRect(cell.adjusted(0.75, 0.75, -0.75, -0.75), kCellRadius - 0.75, kCellRadius - 0.75);
        } else {
            p.setPen(QPen(Theme::line.resolve(m_dark), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(cell.adjusted(0.5, 0.5, -0.5, -0.5), kCellRadius - 0.5, kCellRadius - 0.5);
        }

        const qreal m = DupGroupCard::kCellMargin;
        const QRectF preview(cell.left() + m, cell.top() + m, DupGroupCard::kCellWidth, kPreviewHeight);
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::well.resolve(m_dark));
        p.drawRoundedRect(preview, kPreviewRadius, kPreviewRadius);
        const QRectF inset = preview.adjusted(kPreviewInset, kPreviewInset, -kPreviewInset, -kPreviewInset);
        Thumb::paint(p, inset, m_thumbs.cached(item.path(), DupGroupCard::kThumbSize), false, m_dark);

        const QString label = kept ? QStringLiteral("Keep") : QStringLiteral("Trash");
        const QFont bf = badgeFont();
        const QFontMetricsF bfm(bf);
        const QRectF badge(inset.left(), inset.top(), bfm.horizontalAdvance(label) + 2 * kBadgePadX,
                           bfm.height() + 2 * kBadgePadY);
        p.setBrush((kept ? Theme::good : Theme::danger).resolve(m_dark));
        p.drawRoundedRect(badge, badge.height() / 2, badge.height() / 2);
        p.setFont(bf);
        p.setPen(Qt::white);
        p.drawText(QPointF(badge.left() + kBadgePadX, badge.top() + kBadgePadY + bfm.ascent()), label);

        const QFont ff = folderFont();
        const QFontMetricsF ffm(ff);
        qreal y = preview.bottom() + kCaptionGap;
        p.setFont(ff);
        p.setPen(Theme::ink.resolve(m_dark));
        p.drawText(QPointF(preview.left(), y + ffm.ascent()),
                   ffm.elidedText(TidyTexts::cellFolder(item), Qt::ElideLeft, preview.width()));
        y += ffm.height() + kCaptionGap;
        const QFont cf = captionFont();
        const QFontMetricsF cfm(cf);
        p.setFont(cf);
        p.setPen(Theme::ink3.resolve(m_dark));
        p.drawText(QPointF(preview.left(), y + cfm.ascent()),
                   cfm.elidedText(TidyTexts::cellCaption(item), Qt::ElideRight, preview.width()));
    }

    DupGroupCard &m_card;
    Thumbs &m_thumbs;
    int m_pressed = -1;
    int m_current = -1;
    bool m_dark = false;
};

} // namespace

DupGroupCard::DupGroupCard(const DupGroup &group, Library &library, Thumbs &thumbs, QWidget *parent)
    : QWidget(parent), m_library(library), m_thumbs(thumbs), m_keep(new PillButton({}, QStringLiteral("trash"),
                                                                                  false, false, this)),
      m_scroll(new QScrollArea(this))
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    Appearance::shared().follow(this, &m_dark);

    m_cells = new Cells(*this, thumbs);
    m_scroll->setFrameShape(QFrame::NoFrame);
    // A container, not a Tab stop: the keyboard goes straight to the copies.
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidgetResizable(false);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_scroll->setAutoFillBackground(false);
    m_scroll->setWidget(m_cells);
    m_cells->setAutoFillBackground(false);

    connect(m_keep, &QAbstractButton::clicked, this, [this]() {
        (m_trasher ? *m_trasher : Trasher::shared()).trashExtras(m_group.extras());
    });
    connect(&thumbs, &Thumbs::loaded, this, &DupGroupCard::thumbnailLoaded);
    setGroup(group);
}

void DupGroupCard::setGroup(const DupGroup &group)
{
    const bool sameFiles = group.items == m_group.items;
    m_group = group;
    m_name = TidyTexts::groupName(group.items);
    m_line = TidyTexts::groupLine(group.items.size(), group.wasted());
    m_keep->setText(TidyTexts::keepTitle(group.items.size()));
    if (!sameFiles) {
        m_keys.clear();
        for (const FileItem &item : group.items) {
            m_keys.append(Thumbs::key(item.path(), kThumbSize));
            m_thumbs.request(item.path(), kThumbSize);
        }
        m_cells->resize(m_cells->sizeHint());
        updateGeometry();
        place();
    }
    m_cells->update();
    update();
}

void DupGroupCard::setTrasher(Trasher *trasher)
{
    m_trasher = trasher;
}

qreal DupGroupCard::cellHeight()
{
    return 2 * kCellMargin + kPreviewHeight + kCaptionGap + QFontMetricsF(folderFont()).height() + kCaptionGap +
           QFontMetricsF(captionFont()).height();
}

QRectF DupGroupCard::cellRect(int index) const
{
    return {index * (outerCellWidth() + kCellSpacing), 0, outerCellWidth(), cellHeight()};
}

void DupGroupCard::keepCopy(int index)
{
    if (index < 0 || index >= m_group.items.size())
        return;
    m_library.keep(m_group.items.at(index).path(), m_group.id);
}

void DupGroupCard::quickLook(int index)
{
    QList<QByteArray> paths;
    for (const FileItem &item : m_group.items)
        paths.append(item.path());
    QuickLook::shared().toggle(paths, index >= 0 && index < paths.size() ? index : 0);
}

void DupGroupCard::reveal(int index)
{
    if (index >= 0 && index < m_group.items.size())
        Files::reveal({m_group.items.at(index)});
}

DupGroupCard::Geometry DupGroupCard::geometryFor(int width) const
{
    const QFontMetricsF nfm(nameFont());
    const QFontMetricsF lfm(lineFont());
    const QSize keep = m_keep->sizeHint();
    // The texts and the button share the name's baseline.
    const qreal nameAscent = nfm.ascent();
    const qreal keepTop = nameAscent - m_keep->firstBaseline();
    const qreal textsHeight = nfm.height() + kLineGap + lfm.height();
    const qreal top = std::min(0.0, keepTop);
    const qreal bottom = std::max(textsHeight, keepTop + keep.height());

    Geometry g;
    const qreal y0 = kPadding - top;
    g.nameBaseline = QPointF(kPadding, y0 + nameAscent);
    g.lineBaseline = QPointF(kPadding, y0 + nfm.height() + kLineGap + lfm.ascent());
    g.keep = QRect(int(width - kPadding - keep.width()), int(std::round(y0 + keepTop)), keep.width(), keep.height());
    const qreal rowTop = kPadding + (bottom - top) + kBlockGap;
    g.row = QRect(int(kPadding), int(std::round(rowTop)), std::max(0, int(width - 2 * kPadding)),
                  int(std::ceil(cellHeight())));
    g.height = g.row.bottom() + 1 + int(kPadding);
    return g;
}

int DupGroupCard::heightForWidth(int width) const
{
    return geometryFor(width).height;
}

QSize DupGroupCard::sizeHint() const
{
    const int width = int(std::ceil(2 * kPadding + 3 * outerCellWidth() + 2 * kCellSpacing));
    return {width, heightForWidth(width)};
}

QSize DupGroupCard::minimumSizeHint() const
{
    return {int(2 * kPadding + outerCellWidth()), heightForWidth(width())};
}

void DupGroupCard::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    place();
}

void DupGroupCard::place()
{
    const Geometry g = geometryFor(width());
    m_keep->setGeometry(g.keep);
    m_scroll->setGeometry(g.row);
}

void DupGroupCard::thumbnailLoaded(const QString &key)
{
    if (m_keys.contains(key))
        m_cells->update();
}

void DupGroupCard::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF bounds = QRectF(rect());
    QPainterPath shape;
    shape.addRoundedRect(bounds, kRadius, kRadius);
    p.fillPath(shape, Theme::surface.resolve(m_dark));
    p.setPen(QPen(Theme::line.resolve(m_dark), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), kRadius - 0.5, kRadius - 0.5);

    const Geometry g = geometryFor(width());
    const qreal textWidth = std::max<qreal>(0, g.keep.left() - 12 - kPadding);
    const QFont nf = nameFont();
    p.setFont(nf);
    p.setPen(Theme::ink.resolve(m_dark));
    p.drawText(g.nameBaseline, QFontMetricsF(nf).elidedText(m_name, Qt::ElideMiddle, textWidth));
    const QFont lf = lineFont();
    p.setFont(lf);
    p.setPen(Theme::ink3.resolve(m_dark));
    p.drawText(g.lineBaseline, QFontMetricsF(lf).elidedText(m_line, Qt::ElideRight, textWidth));
}
