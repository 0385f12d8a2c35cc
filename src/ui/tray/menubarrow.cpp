#include "menubarrow.h"

#include "files/fileinteractions.h"
#include "files/thumb.h"
#include "files/thumbs.h"

#include "components/focusring.h"
#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

namespace {

constexpr qreal kPadX = 8;
constexpr qreal kSpacing = 10;
constexpr qreal kThumbShown = 32;
constexpr qreal kRadius = 8;
constexpr qreal kButtonPoints = 11;
constexpr int kButtonSide = 22;

const QFont &nameFont()
{
    static const QFont font = Theme::font(12.5, QFont::Medium);
    return font;
}

QString displayName(const QByteArray &path)
{
    return QString::fromLocal8Bit(path.mid(path.lastIndexOf('/') + 1));
}

FileItem fileAt(const QByteArray &path)
{
    FileItem::Fields fields;
    fields.path = path;
    return FileItem(fields);
}

} // namespace

MenuBarRow::MenuBarRow(const QByteArray &path, Thumbs &thumbs, QWidget *parent)
    : QWidget(parent), m_path(path), m_thumbs(thumbs), m_reveal(new QToolButton(this))
{
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(displayName(m_path));
    Appearance::shared().follow(this, &m_dark);
    connect(&Appearance::shared(), &Appearance::changed, this, &MenuBarRow::styleButton);
    m_reveal->setAutoRaise(true);
    m_reveal->setToolTip(QStringLiteral("Show in Folder"));
    m_reveal->setAccessibleName(QStringLiteral("Show in Folder"));
    m_reveal->setFixedSize(kButtonSide, kButtonSide);
    m_reveal->setCursor(Qt::ArrowCursor);
    m_reveal->setFocusPolicy(Qt::TabFocus);
    m_reveal->hide();
    m_reveal->installEventFilter(this);
    styleButton();
    connect(m_reveal, &QToolButton::clicked, this, [this]() { emit revealRequested(m_path); });
    connect(&m_thumbs, &Thumbs::loaded, this, [this](const QString &key) {
        if (key == Thumbs::key(m_path, kThumbSize))
            update();
    });
    if (!m_thumbs.contains(m_path, kThumbSize))
        m_thumbs.request(m_path, kThumbSize);
}

void MenuBarRow::styleButton()
{
    const qreal ratio = devicePixelRatioF();
    m_reveal->setIcon(QIcon(Symbols::pixmap(u"folder", kButtonPoints, Theme::ink2.resolve(m_dark), ratio)));
    m_reveal->setIconSize(QSize(int(Symbols::boxSize(kButtonPoints)), int(Symbols::boxSize(kButtonPoints))));
    // The ring replaces no border, so the button keeps its size when focused.
    m_reveal->setStyleSheet(
        QStringLiteral("QToolButton { border: 2px solid transparent; border-radius: 6px; background: transparent; }"
                       "QToolButton:focus { border-color: %1; }")
            .arg(Theme::ring.resolve(m_dark).name()));
}

QSize MenuBarRow::sizeHint() const
{
    return {300, kHeight};
}

void MenuBarRow::setHover(bool hover)
{
    if (hover == m_hover)
        return;
    m_hover = hover;
    showButtonIfWanted();
    update();
}

void MenuBarRow::showButtonIfWanted()
{
    // Focus moves to the button before the row hears it left, so Tab from
    // the row finds the button still there.
    m_reveal->setVisible(m_hover || hasFocus() || m_reveal->hasFocus());
}

void MenuBarRow::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = FocusRing::fromKeyboard(event->reason());
    showButtonIfWanted();
    update();
    QWidget::focusInEvent(event);
}

void MenuBarRow::focusOutEvent(QFocusEvent *event)
{
    m_keyboardFocus = false;
    showButtonIfWanted();
    update();
    QWidget::focusOutEvent(event);
}

bool MenuBarRow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_reveal && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        showButtonIfWanted();
    return QWidget::eventFilter(watched, event);
}

void MenuBarRow::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        open();
        return;
    default:
        // Up and Down belong to the list, which moves between rows.
        QWidget::keyPressEvent(event);
    }
}

void MenuBarRow::enterEvent(QEnterEvent *event)
{
    setHover(true);
    QWidget::enterEvent(event);
}

void MenuBarRow::leaveEvent(QEvent *event)
{
    setHover(false);
    QWidget::leaveEvent(event);
}

void MenuBarRow::resizeEvent(QResizeEvent *event)
{
    m_reveal->move(int(width() - kPadX - kButtonSide), (height() - kButtonSide) / 2);
    QWidget::resizeEvent(event);
}

void MenuBarRow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressedAt = event->position().toPoint();
}

void MenuBarRow::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressedAt || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - *m_pressedAt).manhattanLength() < QApplication::startDragDistance())
        return;
    m_pressedAt.reset();
    const QImage picture = m_thumbs.cached(m_path, kThumbSize);
    FileInteractions::drag(this, fileAt(m_path), picture.isNull() ? QPixmap() : QPixmap::fromImage(picture));
}

void MenuBarRow::mouseReleaseEvent(QMouseEvent *event)
{
    const bool clicked = m_pressedAt.has_value() && event->button() == Qt::LeftButton &&
                         rect().contains(event->position().toPoint());
    m_pressedAt.reset();
    if (clicked)
        open();
}

void MenuBarRow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF row = rect();
    if (m_hover || m_keyboardFocus) {
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::marker.withOpacity(0.4).resolve(m_dark));
        p.drawRoundedRect(row, kRadius, kRadius);
    }
    const qreal midY = row.center().y();
    const qreal left = row.left() + kPadX;
    Thumb::paint(p, QRectF(left, midY - kThumbShown / 2, kThumbShown, kThumbShown),
                 m_thumbs.cached(m_path, kThumbSize), false, m_dark);
    const qreal textLeft = left + kThumbShown + kSpacing;
    // The name keeps clear of where the button appears, so hovering moves nothing.
    const qreal textRight = row.right() - kPadX - kButtonSide - kSpacing;
    const QFontMetricsF metrics(nameFont());
    p.setFont(nameFont());
    p.setPen(Theme::ink.resolve(m_dark));
    const qreal width = std::max<qreal>(0, textRight - textLeft);
    p.drawText(QRectF(textLeft, row.top(), width, row.height()), Qt::AlignLeft | Qt::AlignVCenter,
               metrics.elidedText(displayName(m_path), Qt::ElideMiddle, width));
    if (m_keyboardFocus)
        FocusRing::draw(p, row, kRadius, m_dark);
}
