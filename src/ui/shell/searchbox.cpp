#include "searchbox.h"

#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

constexpr qreal kPadX = 11;
constexpr qreal kGap = 8;
constexpr qreal kRadius = 10;
constexpr qreal kGlassPoints = 13;
constexpr qreal kClearPoints = 13;
constexpr qreal kHintPadX = 5;
constexpr qreal kHintPadY = 2;
constexpr qreal kHintRadius = 5;
constexpr qreal kFocusRing = 1.5;
constexpr qreal kIdleRing = 1;
const QString kHint = QStringLiteral("Ctrl+F");
const QString kPlaceholder = QStringLiteral("Search, or try \u201Cpdfs from last week\u201D\u2026");

// The clear button: a filled circle with a cross, in the faint ink.
class ClearButton final : public QAbstractButton
{
public:
    explicit ClearButton(QWidget *parent) : QAbstractButton(parent)
    {
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::ArrowCursor);
        setToolTip(QStringLiteral("Clear"));
        Appearance::shared().follow(this, &m_dark);
        const int side = int(std::ceil(Symbols::boxSize(kClearPoints)));
        setFixedSize(side, side);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QColor ink = Theme::ink3.resolve(m_dark);
        if (isDown())
            ink = Theme::ink2.resolve(m_dark);
        Symbols::draw(p, QRectF(rect()), u"xmark.circle.fill", kClearPoints, ink);
    }

private:
    bool m_dark = false;
};

QFont fieldFont()
{
    return Theme::font(13.5);
}

} // namespace

SearchBox::SearchBox(QWidget *parent) : QWidget(parent), m_field(new QLineEdit(this)), m_clear(new ClearButton(this))
{
    setFixedHeight(kHeight);
    setMaximumWidth(kMaxWidth);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::IBeamCursor);
    Appearance::shared().follow(this, &m_dark);

    m_field->setFrame(false);
    m_field->setFont(fieldFont());
    m_field->setPlaceholderText(kPlaceholder);
    m_field->setAccessibleName(QStringLiteral("Search"));
    m_field->setClearButtonEnabled(false);
    m_field->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_field->installEventFilter(this);
    styleField();
    connect(&Appearance::shared(), &Appearance::changed, this, &SearchBox::styleField);
    connect(m_field, &QLineEdit::textChanged, this, &SearchBox::followText);
    followText();
}

bool SearchBox::showsHint() const
{
    return m_field->text().isEmpty();
}

bool SearchBox::searching() const
{
    return m_field->hasFocus();
}

QSize SearchBox::sizeHint() const
{
    return {kMaxWidth, kHeight};
}

QSize SearchBox::minimumSizeHint() const
{
    return {kMinWidth, kHeight};
}

void SearchBox::styleField()
{
    // The field draws on the box's surface: no fill of its own, the theme's inks.
    QPalette p = m_field->palette();
    p.setColor(QPalette::Base, Qt::transparent);
    p.setColor(QPalette::Text, Theme::ink.resolve(m_dark));
    p.setColor(QPalette::PlaceholderText, Theme::ink3.resolve(m_dark));
    p.setColor(QPalette::Highlight, Theme::marker.resolve(m_dark));
    p.setColor(QPalette::HighlightedText, Theme::markerInk.resolve(m_dark));
    m_field->setPalette(p);
}

void SearchBox::followText()
{
    m_clear->setVisible(!showsHint());
    relayout();
    update();
}

QRectF SearchBox::hintRect() const
{
    const QFontMetricsF metrics(Theme::mono());
    const qreal w = metrics.horizontalAdvance(kHint) + 2 * kHintPadX;
    const qreal h = metrics.height() + 2 * kHintPadY;
    return {width() - kPadX - w, (height() - h) / 2, w, h};
}

void SearchBox::relayout()
{
    const qreal glass = Symbols::boxSize(kGlassPoints);
    const qreal left = kPadX + glass + kGap;
    const qreal trailing = showsHint() ? hintRect().width() : m_clear->width();
    const qreal right = width() - kPadX - trailing - kGap;
    const int fieldHeight = m_field->sizeHint().height();
    m_field->setGeometry(int(left), (height() - fieldHeight) / 2, std::max(0, int(right - left)), fieldHeight);
    m_clear->move(int(width() - kPadX - m_clear->width()), (height() - m_clear->height()) / 2);
}

void SearchBox::mousePressEvent(QMouseEvent *event)
{
    // The whole box is the field's: a click beside the text still starts typing.
    m_field->setFocus(Qt::MouseFocusReason);
    event->accept();
}

void SearchBox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

bool SearchBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field) {
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            update();
            break;
        case QEvent::ShortcutOverride:
            // Escape belongs to the field while it has the focus, not to a window shortcut.
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
                event->accept();
                return true;
            }
            break;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
                emit escaped();
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SearchBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool focused = searching();
    const qreal ring = focused ? kFocusRing : kIdleRing;
    // The ring lies inside the shape, so the box keeps its size when it thickens.
    const QRectF shape = QRectF(rect()).adjusted(ring / 2, ring / 2, -ring / 2, -ring / 2);
    p.setBrush(Theme::surface.resolve(m_dark));
    p.setPen(QPen((focused ? Theme::ring : Theme::line).resolve(m_dark), ring));
    p.drawRoundedRect(shape, kRadius - ring / 2, kRadius - ring / 2);

    const qreal glass = Symbols::boxSize(kGlassPoints);
    Symbols::draw(p, QRectF(kPadX, (height() - glass) / 2, glass, glass), u"magnifyingglass", kGlassPoints,
                  Theme::ink3.resolve(m_dark), QFont::Medium);

    if (showsHint()) {
        const QRectF hint = hintRect();
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::well.resolve(m_dark));
        p.drawRoundedRect(hint, kHintRadius, kHintRadius);
        p.setPen(Theme::ink3.resolve(m_dark));
        p.setFont(Theme::mono());
        p.drawText(hint, Qt::AlignCenter, kHint);
    }
}
