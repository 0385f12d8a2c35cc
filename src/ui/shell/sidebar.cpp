#include "sidebar.h"

#include "components/focusring.h"

#include "appicon.h"
#include "siderow.h"
#include "sidebarbadges.h"

#include "library/library.h"
#include "state/appstate.h"
#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <cmath>
#include <QAccessible>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int kMarginX = 8;
// Linux draws the window buttons in the title bar, not over the content, so
// the column starts with the header's own spacing instead of room for them.
constexpr int kMarginTop = 14;
constexpr int kMarginBottom = 16;
constexpr int kRowSpacing = 2;

// The column's fill, following the appearance.
class Backdrop final : public QWidget
{
public:
    explicit Backdrop(QWidget *parent) : QWidget(parent) { Appearance::shared().follow(this, &m_dark); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Theme::sidebar.resolve(m_dark));
    }

private:
    bool m_dark = false;
};

// The application's icon and name at the top of the column.
class Header final : public QWidget
{
public:
    static constexpr qreal kIcon = 26;
    static constexpr qreal kGap = 8;
    static constexpr qreal kPadX = 10;
    static constexpr qreal kPadBottom = 14;

    explicit Header(QWidget *parent) : QWidget(parent)
    {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        Appearance::shared().follow(this, &m_dark);
    }

    static QFont nameFont() { return Theme::font(16, QFont::DemiBold, Theme::Design::rounded); }

    QSize sizeHint() const override
    {
        const QFontMetricsF fm(nameFont());
        return {int(std::ceil(2 * kPadX + kIcon + kGap + fm.horizontalAdvance(QStringLiteral("Tovalo")))),
                int(std::ceil(std::max(kIcon, fm.height()) + kPadBottom))};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const qreal midY = (height() - kPadBottom) / 2;
        p.drawPixmap(QPointF(kPadX, midY - kIcon / 2),
                     AppIcon::pixmap(QSize(int(kIcon), int(kIcon)), devicePixelRatioF()));
        const QFont font = nameFont();
        const QFontMetricsF fm(font);
        p.setFont(font);
        p.setPen(Theme::ink.resolve(m_dark));
        p.drawText(QPointF(kPadX + kIcon + kGap, midY - fm.height() / 2 + fm.ascent()), QStringLiteral("Tovalo"));
    }

private:
    bool m_dark = false;
};

// "LIBRARY", "TIDY", "LOCATIONS": small spaced capitals above a group of rows.
class SectionLabel final : public QWidget
{
public:
    static constexpr qreal kPadX = 10;
    static constexpr qreal kPadTop = 16;
    static constexpr qreal kPadBottom = 4;

    SectionLabel(const QString &title, QWidget *parent) : QWidget(parent), m_title(title.toUpper())
    {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        Appearance::shared().follow(this, &m_dark);
    }

    static QFont labelFont()
    {
        QFont font = Theme::font(10, QFont::DemiBold);
        font.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
        return font;
    }

    QSize sizeHint() const override
    {
        const QFontMetricsF fm(labelFont());
        return {int(std::ceil(2 * kPadX + fm.horizontalAdvance(m_title))),
                int(std::ceil(kPadTop + fm.height() + kPadBottom))};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::TextAntialiasing);
        const QFont font = labelFont();
        const QFontMetricsF fm(font);
        p.setFont(font);
        p.setPen(Theme::ink3.resolve(m_dark));
        p.drawText(QPointF(kPadX, kPadTop + fm.ascent()), m_title);
    }

private:
    QString m_title;
    bool m_dark = false;
};

// "Add a folder…": a quiet text button under the locations.
class AddFolderButton final : public QAbstractButton
{
public:
    static constexpr qreal kPoints = 13;
    static constexpr qreal kSymbolWidth = 18;
    static constexpr qreal kGap = 9;
    static constexpr qreal kPadX = 10;
    static constexpr qreal kPadY = 6;
    static constexpr qreal kRadius = 8;

    explicit AddFolderButton(QWidget *parent) : QAbstractButton(parent)
    {
        setText(QStringLiteral("Add a folder…"));
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_Hover);
        setCursor(Qt::PointingHandCursor);
        Appearance::shared().follow(this, &m_dark);
    }

    void setFocusMark(bool mark)
    {
        m_focusMark = mark;
        update();
    }

    QSize sizeHint() const override
    {
        const QFontMetricsF fm(Theme::font(kPoints));
        return {int(std::ceil(2 * kPadX + kSymbolWidth + kGap + fm.horizontalAdvance(text()))),
                int(std::ceil(std::max(fm.height(), Symbols::boxSize(kPoints)) + 2 * kPadY))};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        // The pointer over it brings the text up one step of ink, as a link does.
        const bool lit = underMouse() || isDown();
        const QColor color = (lit ? Theme::ink2 : Theme::ink3).resolve(m_dark);
        const qreal midY = height() / 2.0;
        const qreal box = Symbols::boxSize(kPoints);
        Symbols::draw(p, QRectF(kPadX + (kSymbolWidth - box) / 2, midY - box / 2, box, box), u"plus",
                      kPoints, color, QFont::Medium);
        const QFont font = Theme::font(kPoints);
        const QFontMetricsF fm(font);
        p.setFont(font);
        p.setPen(color);
        p.drawText(QPointF(kPadX + kSymbolWidth + kGap, midY - fm.height() / 2 + fm.ascent()), text());
        if (m_focusMark)
            FocusRing::draw(p, QRectF(rect()), kRadius, m_dark);
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
    bool m_focusMark = false;
    bool m_dark = false;
};

QString lastComponent(const QByteArray &path)
{
    QByteArray trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith('/'))
        trimmed.chop(1);
    const qsizetype slash = trimmed.lastIndexOf('/');
    const QByteArray name = slash >= 0 && slash + 1 < trimmed.size() ? trimmed.mid(slash + 1) : trimmed;
    return QFile::decodeName(name);
}

QUrl folderUrl(const QByteArray &path)
{
    // From the bytes, so a folder whose name is not UTF-8 still opens.
    return QUrl::fromEncoded(QByteArrayLiteral("file://") + path.toPercentEncoding("/"), QUrl::StrictMode);
}

} // namespace

Sidebar::Sidebar(AppState &state, Library &library, QWidget *parent)
    : QScrollArea(parent), m_state(state), m_library(library)
{
    setFixedWidth(kWidth);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A thin bar shows only when the window is too short for every row.
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    // One stop of the Tab chain, moved through with the arrows; clicks leave the focus alone.
    setFocusPolicy(Qt::TabFocus);
    setProperty("ownKeys", QStringLiteral("all"));
    setAccessibleName(QStringLiteral("Sidebar"));
    // The bar lies on the column's fill, not on the window's.
    verticalScrollBar()->setAutoFillBackground(true);
    const auto fillBar = [this](bool dark) {
        QPalette palette = verticalScrollBar()->palette();
        palette.setColor(QPalette::Window, Theme::sidebar.resolve(dark));
        verticalScrollBar()->setPalette(palette);
    };
    fillBar(Appearance::shared().isDark());
    connect(&Appearance::shared(), &Appearance::changed, this, fillBar);

    auto *column = new Backdrop(this);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(kMarginX, kMarginTop, kMarginX, kMarginBottom);
    layout->setSpacing(kRowSpacing);

    layout->addWidget(new Header(column));
    addRow(layout, new SideRow(QStringLiteral("house"), QStringLiteral("Home"), Route::home()));
    addRow(layout, new SideRow(QStringLiteral("clock"), QStringLiteral("Recents"), Route::recents()));

    layout->addWidget(new SectionLabel(QStringLiteral("Library"), column));
    for (Kind kind : Kinds::shelves)
        addRow(layout, new SideRow(Kinds::symbol(kind), Kinds::title(kind), Route::kind(kind), Theme::tint(kind)));

    layout->addWidget(new SectionLabel(QStringLiteral("Tidy"), column));
    addRow(layout, new SideRow(QStringLiteral("externaldrive"), QStringLiteral("Large Files"), Route::large()));
    addRow(layout, new SideRow(QStringLiteral("camera.viewfinder"), QStringLiteral("Screenshots"),
                               Route::screenshots()));
    addRow(layout, new SideRow(QStringLiteral("square.on.square"), QStringLiteral("Duplicates"),
                               Route::duplicates(), std::nullopt, true));
    addRow(layout, new SideRow(QStringLiteral("sparkles"), QStringLiteral("Clean Up"), Route::cleanup(),
                               std::nullopt, true));
    addRow(layout, new SideRow(QStringLiteral("arrow.down.circle"), QStringLiteral("Downloaded From"),
                               Route::sources()));

    layout->addWidget(new SectionLabel(QStringLiteral("Locations"), column));
    m_locationLayout = new QVBoxLayout;
    m_locationLayout->setContentsMargins(0, 0, 0, 0);
    m_locationLayout->setSpacing(kRowSpacing);
    layout->addLayout(m_locationLayout);
    auto *add = new AddFolderButton(column);
    m_addFolder = add;
    connect(add, &QAbstractButton::clicked, this, &Sidebar::addFolder);
    layout->addWidget(add);
    layout->addStretch(1);
    setWidget(column);

    connect(&m_state, &AppState::routeChanged, this, &Sidebar::refreshActive);
    connect(&m_state, &AppState::queryChanged, this, &Sidebar::refreshActive);
    for (auto changed : {&Library::byKindChanged, &Library::largeFilesChanged, &Library::screenshotsChanged,
                         &Library::dupGroupsChanged, &Library::cleanupChanged, &Library::sourcesChanged})
        connect(&m_library, changed, this, &Sidebar::refreshBadges);
    // Standard folders count only while they exist, so each scan may change the list.
    connect(&m_library, &Library::pinnedChanged, this, &Sidebar::refreshLocations);
    connect(&m_library, &Library::itemsChanged, this, &Sidebar::refreshLocations);

    refreshLocations();
    refreshBadges();
    refreshActive();
}

SideRow *Sidebar::addRow(QVBoxLayout *layout, SideRow *row)
{
    layout->addWidget(row);
    m_rows.append(row);
    connect(row, &QAbstractButton::clicked, this, [this, row] { m_state.go(row->route()); });
    return row;
}

QList<QAbstractButton *> Sidebar::entries() const
{
    QList<QAbstractButton *> out;
    for (SideRow *each : rows())
        out.append(each);
    out.append(m_addFolder);
    return out;
}

void Sidebar::setCurrent(int cursor)
{
    const QList<QAbstractButton *> all = entries();
    cursor = all.isEmpty() || cursor < 0 ? -1 : std::min<int>(cursor, int(all.size()) - 1);
    m_cursor = cursor;
    for (int i = 0; i < all.size(); ++i) {
        const bool mark = i == cursor;
        if (auto *row = qobject_cast<SideRow *>(all.at(i)))
            row->setFocusMark(mark);
        else
            static_cast<AddFolderButton *>(all.at(i))->setFocusMark(mark);
    }
    if (cursor >= 0) {
        ensureWidgetVisible(all.at(cursor), 0, kMarginBottom);
        // Screen readers follow the entry the keyboard is on.
        QAccessibleEvent focus(all.at(cursor), QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

void Sidebar::focusInEvent(QFocusEvent *event)
{
    QScrollArea::focusInEvent(event);
    // The keyboard starts on the page shown.
    int start = 0;
    const QList<QAbstractButton *> all = entries();
    for (int i = 0; i < all.size(); ++i)
        if (auto *row = qobject_cast<SideRow *>(all.at(i)); row && row->isActive())
            start = i;
    setCurrent(start);
}

void Sidebar::focusOutEvent(QFocusEvent *event)
{
    QScrollArea::focusOutEvent(event);
    setCurrent(-1);
}

void Sidebar::keyPressEvent(QKeyEvent *event)
{
    const QList<QAbstractButton *> all = entries();
    const int last = int(all.size()) - 1;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (!plain || m_cursor < 0) {
        QScrollArea::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
        setCurrent(std::max(0, m_cursor - 1));
        return;
    case Qt::Key_Down:
        setCurrent(std::min(last, m_cursor + 1));
        return;
    case Qt::Key_Home:
        setCurrent(0);
        return;
    case Qt::Key_End:
        setCurrent(last);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        all.at(m_cursor)->click();
        return;
    case Qt::Key_Menu:
        if (m_cursor < m_rows.size())
            break;
        if (auto *row = qobject_cast<SideRow *>(all.at(m_cursor)); row && row->route().asFolder()) {
            QMenu *menu = locationMenu(*row->route().asFolder(), this);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(row->mapToGlobal(row->rect().center()));
            return;
        }
        break;
    default:
        break;
    }
    QScrollArea::keyPressEvent(event);
}

QList<SideRow *> Sidebar::rows() const
{
    return m_rows + m_locationRows;
}

SideRow *Sidebar::row(const Route &route) const
{
    for (SideRow *candidate : rows())
        if (candidate->route() == route)
            return candidate;
    return nullptr;
}

QMenu *Sidebar::locationMenu(const QByteArray &folder, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    connect(menu->addAction(QStringLiteral("Show in Folder")), &QAction::triggered, menu,
            [folder] { QDesktopServices::openUrl(folderUrl(folder)); });
    if (m_library.pinned().contains(folder)) {
        connect(menu->addAction(QStringLiteral("Remove from Tovalo")), &QAction::triggered, this,
                [this, folder] { m_library.unpin(folder); });
    }
    return menu;
}

void Sidebar::addFolder()
{
    QFileDialog dialog(window(), QStringLiteral("Add a Folder"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Add"));
    // Qt's own dialog, where no desktop one is offered, opens too small for its columns.
    dialog.resize(760, 480);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty())
        return;
    m_library.pin(QFile::encodeName(chosen.first()));
}

void Sidebar::refreshActive()
{
    for (SideRow *each : rows())
        each->setActive(SideRow::activeFor(each->route(), m_state.route(), m_state.query()));
}

void Sidebar::refreshBadges()
{
    for (Kind kind : Kinds::shelves)
        row(Route::kind(kind))->setBadge(SidebarBadges::kind(m_library.byKind(), kind));
    row(Route::large())->setBadge(SidebarBadges::largeFiles(m_library.largeFiles().size()));
    row(Route::screenshots())->setBadge(SidebarBadges::screenshots(m_library.screenshots().size()));
    row(Route::duplicates())->setBadge(SidebarBadges::duplicates(m_library.dupGroups()));
    row(Route::cleanup())->setBadge(SidebarBadges::cleanup(m_library.cleanup()));
    row(Route::sources())->setBadge(SidebarBadges::sources(m_library.sources().size()));
}

void Sidebar::refreshLocations()
{
    const QList<QByteArray> now = m_library.locations();
    if (now == m_locations)
        return;
    m_locations = now;
    // Deleted later: the request to remove a folder comes from its own row's menu.
    for (SideRow *old : std::exchange(m_locationRows, {})) {
        m_locationLayout->removeWidget(old);
        old->hide();
        old->deleteLater();
    }
    for (const QByteArray &folder : now) {
        auto *row = new SideRow(QStringLiteral("folder"), lastComponent(folder), Route::folder(folder),
                                std::nullopt, false, widget());
        row->setToolTip(QFile::decodeName(folder));
        row->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(row, &QAbstractButton::clicked, this, [this, row] { m_state.go(row->route()); });
        connect(row, &QWidget::customContextMenuRequested, this, [this, row, folder](const QPoint &at) {
            QMenu *menu = locationMenu(folder, this);
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(row->mapToGlobal(at));
        });
        m_locationLayout->addWidget(row);
        m_locationRows.append(row);
    }
    refreshActive();
}
