#include "inspector.h"

#include "components/emptystate.h"
#include "components/focusring.h"
#include "components/pillbutton.h"
#include "files/files.h"
#include "files/thumb.h"
#include "files/thumbs.h"
#include "library/library.h"
#include "model/fmt.h"
#include "state/appstate.h"
#include "state/trasher.h"
#include "theme/appearance.h"
#include "theme/theme.h"

#include <cmath>
#include <QClipboard>
#include <QDateTime>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

constexpr int kPadding = 16;
constexpr int kSpacing = 14;
constexpr int kPreviewHeight = 190;
constexpr int kPreviewInset = 12;
constexpr qreal kPreviewRadius = 12;
constexpr double kThumbSize = 480;
constexpr qreal kDetailPoints = 11.5;
constexpr int kKeyWidth = 78;
constexpr int kRowPadY = 5;
constexpr int kBlockSpacing = 6;
constexpr int kMarkerPadding = 10;
constexpr qreal kMarkerRadius = 10;
constexpr double kMarkerOpacity = 0.16;
constexpr int kMaxTextLines = 12;
constexpr int kButtonSpacing = 8;

// A label in one of the theme's inks that keeps its colour across appearance changes.
class InkLabel final : public QLabel
{
public:
    InkLabel(const QFont &font, const ThemeColor &ink, bool selectable, QWidget *parent)
        : QLabel(parent), m_ink(ink)
    {
        setFont(font);
        setWordWrap(true);
        setTextFormat(Qt::PlainText);
        if (selectable) {
            setTextInteractionFlags(Qt::TextSelectableByMouse);
            setCursor(Qt::IBeamCursor);
        }
        recolor(Appearance::shared().isDark());
        connect(&Appearance::shared(), &Appearance::changed, this, [this](bool dark) { recolor(dark); });
    }

private:
    void recolor(bool dark)
    {
        QPalette palette = this->palette();
        palette.setColor(QPalette::WindowText, m_ink.resolve(dark));
        palette.setColor(QPalette::Text, m_ink.resolve(dark));
        palette.setColor(QPalette::Highlight, Theme::marker.withOpacity(0.3).resolve(dark));
        palette.setColor(QPalette::HighlightedText, m_ink.resolve(dark));
        setPalette(palette);
    }

    ThemeColor m_ink;
};

QFont captionFont()
{
    return Theme::font(10, QFont::DemiBold);
}

// A rounded fill behind its children: the preview's well and the text-in-image block.
class Plate final : public QWidget
{
public:
    Plate(const ThemeColor &fill, qreal radius, QWidget *parent)
        : QWidget(parent), m_fill(fill), m_radius(radius)
    {
        Appearance::shared().follow(this, &m_dark);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()), m_radius, m_radius);
        p.fillPath(shape, m_fill.resolve(m_dark));
    }

private:
    ThemeColor m_fill;
    qreal m_radius;
    bool m_dark = false;
};

// One detail line: the key in a fixed column, the value beside it, a hairline under both.
class DetailRow final : public QWidget
{
public:
    DetailRow(const InspectorDetails::Row &row, QWidget *parent) : QWidget(parent)
    {
        const QFont font = Theme::font(kDetailPoints);
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, kRowPadY, 0, kRowPadY + 1);
        layout->setSpacing(0);
        auto *key = new InkLabel(font, Theme::ink3, false, this);
        key->setText(row.key);
        key->setWordWrap(false);
        key->setFixedWidth(kKeyWidth);
        auto *value = new InkLabel(font, Theme::ink, true, this);
        value->setText(row.value);
        // Both in one font, top-aligned, so their first baselines meet.
        layout->addWidget(key, 0, Qt::AlignTop);
        layout->addWidget(value, 1, Qt::AlignTop);
        Appearance::shared().follow(this, &m_dark);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(QRect(0, height() - 1, width(), 1), Theme::line.resolve(m_dark));
    }

private:
    bool m_dark = false;
};

// "Copy": a plain text button that brightens under the pointer.
class TextButton final : public QAbstractButton
{
public:
    TextButton(const QString &title, QWidget *parent) : QAbstractButton(parent)
    {
        setText(title);
        setFont(Theme::font(11, QFont::DemiBold));
        setFocusPolicy(Qt::TabFocus);
        setAttribute(Qt::WA_Hover);
        setCursor(Qt::PointingHandCursor);
        Appearance::shared().follow(this, &m_dark);
    }

    QSize sizeHint() const override
    {
        const QFontMetricsF fm(font());
        return {int(std::ceil(fm.horizontalAdvance(text()))) + 2, int(std::ceil(fm.height()))};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::TextAntialiasing);
        const bool lit = underMouse() || isDown();
        p.setFont(font());
        p.setPen((lit ? Theme::ink : Theme::ink2).resolve(m_dark));
        p.drawText(rect(), Qt::AlignCenter, text());
        // A text button's focus: a bar of the ring colour under the word, inside its own bounds.
        if (hasFocus())
            p.fillRect(QRectF(0, height() - FocusRing::kWidth, width(), FocusRing::kWidth),
                       Theme::ring.resolve(m_dark));
    }
    void enterEvent(QEnterEvent *event) override
    {
        update();
        QAbstractButton::enterEvent(event);
    }
    void leaveEvent(QEvent *event) override
    {
        update();
        QAbstractButton::leaveEvent(event);
    }

private:
    bool m_dark = false;
};

} // namespace

Inspector::Inspector(AppState &state, Library &library, Thumbs &thumbs, QWidget *parent)
    : QWidget(parent), m_state(state), m_library(library)
{
    setFixedWidth(kWidth);
    Appearance::shared().follow(this, &m_dark);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    // A container, not a Tab stop: the keyboard goes straight to its controls.
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidgetResizable(true);
    // The column's own fill shows through: the scroll area paints nothing.
    m_scroll->viewport()->setAutoFillBackground(false);
    outer->addWidget(m_scroll);

    auto *content = new QWidget;
    auto *stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);

    m_empty = new EmptyState(QStringLiteral("cursorarrow.click"), QStringLiteral("Nothing selected"),
                             QStringLiteral("Click a file to see its details."), content);
    stack->addWidget(m_empty);

    m_details = new QWidget(content);
    auto *column = new QVBoxLayout(m_details);
    column->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    column->setSpacing(kSpacing);

    auto *well = new Plate(Theme::well, kPreviewRadius, m_details);
    well->setFixedHeight(kPreviewHeight);
    auto *wellLayout = new QVBoxLayout(well);
    wellLayout->setContentsMargins(kPreviewInset, kPreviewInset, kPreviewInset, kPreviewInset);
    m_thumb = new Thumb(thumbs, QByteArray(), kThumbSize, false, well);
    wellLayout->addWidget(m_thumb);
    column->addWidget(well);

    m_name = new InkLabel(Theme::font(15, QFont::DemiBold, Theme::Design::rounded), Theme::ink, true, m_details);
    m_name->setObjectName(QStringLiteral("name"));
    column->addWidget(m_name);

    auto *rowsBox = new QWidget(m_details);
    m_rowLayout = new QVBoxLayout(rowsBox);
    m_rowLayout->setContentsMargins(0, 0, 0, 0);
    m_rowLayout->setSpacing(0);
    column->addWidget(rowsBox);

    m_subjects = new QWidget(m_details);
    auto *subjects = new QVBoxLayout(m_subjects);
    subjects->setContentsMargins(0, 0, 0, 0);
    subjects->setSpacing(kBlockSpacing);
    auto *subjectsCaption = new InkLabel(captionFont(), Theme::ink3, false, m_subjects);
    subjectsCaption->setText(QStringLiteral("IN THIS PICTURE"));
    subjects->addWidget(subjectsCaption);
    m_subjectsText = new InkLabel(Theme::font(kDetailPoints), Theme::ink2, false, m_subjects);
    subjects->addWidget(m_subjectsText);
    column->addWidget(m_subjects);

    m_ocr = new Plate(Theme::marker.withOpacity(kMarkerOpacity), kMarkerRadius, m_details);
    auto *ocr = new QVBoxLayout(m_ocr);
    ocr->setContentsMargins(kMarkerPadding, kMarkerPadding, kMarkerPadding, kMarkerPadding);
    ocr->setSpacing(kBlockSpacing);
    auto *ocrHeader = new QHBoxLayout;
    ocrHeader->setContentsMargins(0, 0, 0, 0);
    auto *ocrCaption = new InkLabel(captionFont(), Theme::ink3, false, m_ocr);
    ocrCaption->setText(QStringLiteral("TEXT IN IMAGE"));
    ocrCaption->setWordWrap(false);
    ocrHeader->addWidget(ocrCaption);
    ocrHeader->addStretch(1);
    m_copy = new TextButton(QStringLiteral("Copy"), m_ocr);
    m_copy->setObjectName(QStringLiteral("copyText"));
    connect(m_copy, &QAbstractButton::clicked, this, &Inspector::copyText);
    ocrHeader->addWidget(m_copy);
    ocr->addLayout(ocrHeader);
    const QFont textFont = Theme::font(kDetailPoints);
    m_ocrText = new InkLabel(textFont, Theme::ink2, true, m_ocr);
    m_ocrText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_ocrText->setMaximumHeight(int(std::ceil(QFontMetricsF(textFont).lineSpacing() * kMaxTextLines)));
    ocr->addWidget(m_ocrText);
    column->addWidget(m_ocr);

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(kButtonSpacing);
    m_open = new PillButton(QStringLiteral("Open"), std::nullopt, true, false, m_details);
    m_open->setObjectName(QStringLiteral("open"));
    m_reveal = new PillButton(QStringLiteral("Show in Folder"), std::nullopt, false, false, m_details);
    m_reveal->setObjectName(QStringLiteral("reveal"));
    connect(m_open, &QAbstractButton::clicked, this, [this] {
        if (m_file)
            Files::open({*m_file});
    });
    connect(m_reveal, &QAbstractButton::clicked, this, [this] {
        if (m_file)
            Files::reveal({*m_file});
    });
    buttons->addWidget(m_open);
    buttons->addWidget(m_reveal);
    buttons->addStretch(1);
    column->addLayout(buttons);
    column->addStretch(1);
    stack->addWidget(m_details);
    m_scroll->setWidget(content);
    // The scroll area makes its content fill with the palette's window colour; the column's own fill must show.
    content->setAutoFillBackground(false);

    connect(&m_state, &AppState::anchorChanged, this, &Inspector::refresh);
    connect(&m_state, &AppState::visibleChanged, this, &Inspector::refresh);
    connect(&m_library, &Library::ocrChanged, this, &Inspector::refresh);
    connect(&m_library, &Library::subjectsChanged, this, &Inspector::refresh);
    refresh();
}

QString Inspector::subjectsLine() const
{
    return m_subjects->isHidden() ? QString() : m_subjectsText->text();
}

QAbstractButton *Inspector::copyButton() const
{
    return m_copy;
}

void Inspector::refresh()
{
    m_file = InspectorDetails::fileFor(m_state.visible(), m_state.anchor());
    m_empty->setVisible(!m_file);
    m_details->setVisible(bool(m_file));
    if (!m_file) {
        m_rows.clear();
        m_text.clear();
        return;
    }
    showFile(*m_file);
}

void Inspector::showFile(const FileItem &item)
{
    if (m_thumb->path() != item.path())
        m_thumb->setPath(item.path());
    m_name->setText(item.displayName());
    setRows(InspectorDetails::rows(item, QDateTime::currentMSecsSinceEpoch(), Fmt::home()));

    const QString subjects = InspectorDetails::subjects(m_library.subjects().value(item.path()));
    m_subjectsText->setText(subjects);
    m_subjects->setVisible(!subjects.isEmpty());

    const auto ocr = m_library.ocr().constFind(item.path());
    m_text = ocr == m_library.ocr().constEnd() ? QString() : *ocr;
    m_ocrText->setText(m_text);
    m_ocr->setVisible(ocr != m_library.ocr().constEnd());
}

void Inspector::setRows(const QList<InspectorDetails::Row> &rows)
{
    if (rows == m_rows && m_rowLayout->count() == rows.size())
        return;
    m_rows = rows;
    while (QLayoutItem *old = m_rowLayout->takeAt(0)) {
        delete old->widget();
        delete old;
    }
    for (const InspectorDetails::Row &row : rows)
        m_rowLayout->addWidget(new DetailRow(row, m_rowLayout->parentWidget()));
}

void Inspector::copyText()
{
    if (m_ocr->isHidden())
        return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_text);
    Trasher::shared().show(QStringLiteral("Copied text"), false);
}

void Inspector::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Theme::sidebar.withOpacity(0.5).resolve(m_dark));
}
