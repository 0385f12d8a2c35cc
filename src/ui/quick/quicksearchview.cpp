#include "quicksearchview.h"

#include "files/filelistlayout.h"
#include "files/filelistview.h"
#include "files/thumbs.h"

#include "library/library.h"
#include "search/searchengine.h"
#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal kRadius = 18;
constexpr qreal kSearchRowHeight = 62;
constexpr qreal kSearchInset = 20;
constexpr qreal kGlassPoints = 20;
constexpr qreal kGlassGap = 12;
constexpr qreal kSectionTop = kSearchRowHeight + 1 + 10;
constexpr qreal kSectionBelow = 4;
constexpr qreal kChipSpacing = 6;
constexpr qreal kRowsInset = 10;
constexpr qreal kRowSpacing = 2;
constexpr qreal kRowPadY = 5;
constexpr qreal kThumbShown = 34;
constexpr qreal kEmptyPad = 30;
constexpr qreal kFooterHeight = 36;
constexpr qreal kFooterInset = 18;
constexpr qreal kHintSpacing = 14;

struct PanelFonts
{
    QFont field = Theme::font(22, QFont::Normal, Theme::Design::rounded);
    QFont heading = [] {
        QFont f = Theme::font(10, QFont::DemiBold);
        f.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
        return f;
    }();
    QFont chip = Theme::font(10.5, QFont::DemiBold);
    QFont small = Theme::font(11);
    QFont empty = Theme::font(13);
    QFont mono = Theme::mono();
};

const PanelFonts &fonts()
{
    static const PanelFonts made;
    return made;
}

qreal sectionHeight()
{
    const PanelFonts &f = fonts();
    const qreal chip = QFontMetricsF(f.chip).height() + 4;
    return std::max(QFontMetricsF(f.heading).height(), chip);
}

} // namespace

QuickSearchView::QuickSearchView(QuickModel &model, Library &library, Thumbs &thumbs, QWidget *parent)
    : QWidget(parent), m_model(model), m_library(library), m_thumbs(thumbs), m_session(library), m_rowCell(thumbs)
{
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(false);
    Appearance::shared().follow(this, &m_dark);
    connect(&Appearance::shared(), &Appearance::changed, this, &QuickSearchView::applyPalette);

    m_field = new QLineEdit(this);
    m_field->setFrame(false);
    m_field->setFont(fonts().field);
    m_field->setPlaceholderText(QStringLiteral("Find a file… “screenshots from last week”"));
    m_field->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_field->setAccessibleName(QStringLiteral("Search"));
    const qreal fieldLeft = kSearchInset + Symbols::boxSize(kGlassPoints) + kGlassGap;
    const int fieldHeight = int(QFontMetricsF(fonts().field).height()) + 6;
    m_field->setGeometry(int(fieldLeft), int((kSearchRowHeight - fieldHeight) / 2),
                         int(kWidth - fieldLeft - kSearchInset), fieldHeight);
    m_field->installEventFilter(this);
    applyPalette();
    connect(m_field, &QLineEdit::textEdited, this, &QuickSearchView::textEdited);

    // The rows: a file list under the heading, seven rows tall, that leaves
    // the keyboard to the field and acts on a click.
    m_rowCell.setHeight(rowHeight());
    // The list starts on a whole pixel; its margin keeps the rows where they fall.
    const int listTop = int(std::floor(rowsTop()));
    FileListLayout layout;
    layout.scrolls = false;
    layout.sideMargin = kRowsInset;
    layout.topMargin = rowsTop() - listTop;
    layout.spacing = kRowSpacing;
    m_list = new FileListView(m_rows, m_rowCell, layout, m_thumbs, m_marked, this);
    m_list->setObjectName(QStringLiteral("quickRows"));
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setContextMenuPolicy(Qt::NoContextMenu);
    m_list->setSpokenName(QStringLiteral("Quick Search"));
    m_list->setGeometry(0, listTop, kWidth, int(kHeight - kFooterHeight - 1) - listTop);
    // A press between the rows clears the list's selection; the keys' row stays marked.
    connect(&m_marked, &AppState::selectionChanged, this, [this] {
        if (m_marked.selection().isEmpty())
            markSelectedRow();
    });
    connect(m_list, &FileListView::released, this, [this](int row, Qt::KeyboardModifiers modifiers) {
        m_model.setIndex(row);
        act(rows(), modifiers);
    });

    connect(&m_session, &SearchSession::widened, this, [this](const SearchEngine::Outcome &outcome) {
        m_found = outcome.items;
        showRows();
    });

    connect(&m_model, &QuickModel::textChanged, this, &QuickSearchView::modelTextChanged);
    connect(&m_model, &QuickModel::indexChanged, this, &QuickSearchView::markSelectedRow);
    connect(&m_model, &QuickModel::indexChanged, this, &QuickSearchView::announceRow);
    connect(&m_library, &Library::recentsChanged, this, &QuickSearchView::showRows);
    connect(&m_library, &Library::hasScannedChanged, this, qOverload<>(&QWidget::update));
    m_field->setText(m_model.text());
    search();
}

void QuickSearchView::applyPalette()
{
    QPalette palette = m_field->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Window, Qt::transparent);
    palette.setColor(QPalette::Text, Theme::ink.resolve(m_dark));
    palette.setColor(QPalette::PlaceholderText, Theme::ink3.resolve(m_dark));
    palette.setColor(QPalette::Highlight, Theme::marker.resolve(m_dark));
    palette.setColor(QPalette::HighlightedText, Theme::markerInk.resolve(m_dark));
    m_field->setPalette(palette);
}

QList<FileItem> QuickSearchView::rows() const
{
    const QList<FileItem> &all = m_model.trimmed().isEmpty() ? m_library.recents() : m_found;
    return all.mid(0, QuickModel::kMaxRows);
}

QString QuickSearchView::heading() const
{
    return m_model.trimmed().isEmpty() ? QStringLiteral("RECENT") : QStringLiteral("FILES");
}

QString QuickSearchView::emptyText() const
{
    return m_library.hasScanned() ? QStringLiteral("Nothing matched")
                                  : QStringLiteral("Still reading your folders…");
}

bool QuickSearchView::searching() const
{
    return m_session.widening();
}

void QuickSearchView::textEdited(const QString &text)
{
    m_model.setText(text);
}

void QuickSearchView::modelTextChanged()
{
    if (m_field->text() != m_model.text())
        m_field->setText(m_model.text());
    m_field->setFocus(Qt::OtherFocusReason);
    search();
}

void QuickSearchView::search()
{
    // A new text supersedes whatever the wide search is still doing.
    m_session.cancel();
    const QString text = m_model.trimmed();
    m_query = m_session.parse(text);
    m_chips = m_query.chips();
    if (text.isEmpty()) {
        // A blank field lists the recent files; the catalog's whole list is
        // not worth matching for nothing.
        m_found.clear();
    } else {
        m_found = m_session.start(m_query);
        m_session.widenAfterPause();
    }
    showRows();
}

void QuickSearchView::showRows()
{
    m_rows.setItems(rows());
    markSelectedRow();
    update();
}

void QuickSearchView::markSelectedRow()
{
    const QList<FileItem> shown = rows();
    const int i = m_model.index();
    if (i < 0 || i >= shown.size()) {
        m_marked.setSelection({});
        m_marked.setAnchor(std::nullopt);
        return;
    }
    m_marked.setSelection({shown[i].path()});
    m_marked.setAnchor(shown[i].path());
}

void QuickSearchView::announceRow()
{
    // The field keeps the keyboard while ↑/↓ move through the rows: a screen
    // reader follows the selected row as the focused child of the list.
    m_list->announceRow(m_model.index());
}

void QuickSearchView::act(const QList<FileItem> &rows, Qt::KeyboardModifiers modifiers)
{
    const int i = m_model.index();
    if (i < 0 || i >= rows.size())
        return;
    emit acted(QuickModel::actionFor(modifiers), rows[i]);
}

QList<QuickSearchView::Hint> QuickSearchView::hints()
{
    return {{QStringLiteral("↩"), QStringLiteral("Open")},
            {QStringLiteral("Ctrl+↩"), QStringLiteral("Show in Tovalo")},
            {QStringLiteral("Alt+↩"), QStringLiteral("Show in Folder")},
            {QStringLiteral("esc"), QStringLiteral("Close")}};
}

bool QuickSearchView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_field)
        return QWidget::eventFilter(watched, event);
    // Escape would otherwise be taken as a shortcut before the field sees it.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (QuickModel::handles(key->key())) {
            event->accept();
            return true;
        }
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (!QuickModel::handles(key->key()))
        return false;
    const QList<FileItem> shown = rows();
    const QuickModel::Command command = m_model.press(key->key(), key->modifiers(), int(shown.size()));
    if (command == QuickModel::Command::close)
        emit closeRequested();
    else if (command != QuickModel::Command::none)
        act(shown, key->modifiers());
    return true;
}

void QuickSearchView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_field->setFocus(Qt::OtherFocusReason);
}

qreal QuickSearchView::rowsTop() const
{
    return kSectionTop + sectionHeight() + kSectionBelow;
}

qreal QuickSearchView::rowHeight() const
{
    // Seven rows at their natural height overrun the panel by a few points;
    // they give up vertical padding evenly rather than push out the footer.
    const qreal natural = kThumbShown + 2 * kRowPadY;
    const qreal room = kHeight - kFooterHeight - 1 - rowsTop() - 2;
    const qreal fitted = (room - (QuickModel::kMaxRows - 1) * kRowSpacing) / QuickModel::kMaxRows;
    return std::min(natural, fitted);
}

QRectF QuickSearchView::rowRect(int row) const
{
    return m_list->itemRect(row).translated(m_list->pos());
}

void QuickSearchView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(Theme::line.resolve(m_dark), 1));
    p.setBrush(Theme::bg.resolve(m_dark));
    p.drawRoundedRect(frame, kRadius, kRadius);

    const qreal glass = Symbols::boxSize(kGlassPoints);
    Symbols::draw(p, QRectF(kSearchInset, (kSearchRowHeight - glass) / 2, glass, glass), u"magnifyingglass",
                  kGlassPoints, Theme::ink3.resolve(m_dark), QFont::Medium);
    p.fillRect(QRectF(1, kSearchRowHeight, kWidth - 2, 1), Theme::line.resolve(m_dark));

    paintSection(p);
    paintEmpty(p);
    paintFooter(p);
    emit painted();
}

void QuickSearchView::paintSection(QPainter &p)
{
    const PanelFonts &f = fonts();
    const qreal height = sectionHeight();
    qreal x = kSearchInset;
    const QString title = heading();
    const QFontMetricsF headingMetrics(f.heading);
    p.setFont(f.heading);
    p.setPen(Theme::ink3.resolve(m_dark));
    p.drawText(QRectF(x, kSectionTop, headingMetrics.horizontalAdvance(title) + 2, height),
               Qt::AlignLeft | Qt::AlignVCenter, title);
    x += headingMetrics.horizontalAdvance(title) + kChipSpacing;

    const QFontMetricsF chipMetrics(f.chip);
    p.setFont(f.chip);
    const qreal chipHeight = chipMetrics.height() + 4;
    const qreal right = kWidth - kSearchInset;
    for (const Chip &chip : m_chips) {
        const qreal width = chipMetrics.horizontalAdvance(chip.label) + 12;
        if (x + width > right)
            break;
        const QRectF box(x, kSectionTop + (height - chipHeight) / 2, width, chipHeight);
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::marker.resolve(m_dark));
        p.drawRoundedRect(box, 4, 4);
        p.setPen(Theme::markerInk.resolve(m_dark));
        p.drawText(box, Qt::AlignCenter, chip.label);
        x += width + kChipSpacing;
    }
}

void QuickSearchView::paintEmpty(QPainter &p)
{
    if (!rows().isEmpty())
        return;
    p.setFont(fonts().empty);
    p.setPen(Theme::ink3.resolve(m_dark));
    const qreal lineHeight = QFontMetricsF(fonts().empty).height();
    p.drawText(QRectF(0, rowsTop() + kEmptyPad, kWidth, lineHeight), Qt::AlignCenter, emptyText());
}

void QuickSearchView::paintFooter(QPainter &p)
{
    const PanelFonts &f = fonts();
    const qreal top = kHeight - kFooterHeight;
    p.fillRect(QRectF(1, top - 1, kWidth - 2, 1), Theme::line.resolve(m_dark));
    const QFontMetricsF monoMetrics(f.mono);
    const QFontMetricsF labelMetrics(f.small);
    const qreal midY = top + kFooterHeight / 2;
    const auto hintWidth = [&](const Hint &hint) {
        return monoMetrics.horizontalAdvance(hint.key) + 10 + 5 + labelMetrics.horizontalAdvance(hint.label);
    };
    const auto paintHint = [&](const Hint &hint, qreal x) {
        const qreal keyWidth = monoMetrics.horizontalAdvance(hint.key) + 10;
        const QRectF well(x, midY - (monoMetrics.height() + 3) / 2, keyWidth, monoMetrics.height() + 3);
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::well.resolve(m_dark));
        p.drawRoundedRect(well, 4, 4);
        p.setFont(f.mono);
        p.setPen(Theme::ink2.resolve(m_dark));
        p.drawText(well, Qt::AlignCenter, hint.key);
        p.setFont(f.small);
        p.setPen(Theme::ink3.resolve(m_dark));
        p.drawText(QRectF(well.right() + 5, top, labelMetrics.horizontalAdvance(hint.label) + 2, kFooterHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, hint.label);
    };
    const QList<Hint> all = hints();
    qreal x = kFooterInset;
    for (qsizetype i = 0; i + 1 < all.size(); ++i) {
        paintHint(all[i], x);
        x += hintWidth(all[i]) + kHintSpacing;
    }
    paintHint(all.last(), kWidth - kFooterInset - hintWidth(all.last()));
}
