#include "topbar.h"

#include "barbutton.h"
#include "catalogstatus.h"
#include "searchbox.h"
#include "sortmenubutton.h"

#include "library/library.h"
#include "state/appstate.h"
#include "theme/theme.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLineEdit>

namespace {

constexpr int kSideInset = 18;
constexpr int kSpacing = 12;
constexpr int kMinFlexible = 8;
constexpr int kSwitchSpacing = 2;

} // namespace

TopBar::TopBar(AppState &state, Library &library, QWidget *parent)
    : QWidget(parent), m_state(state), m_box(new SearchBox(this)), m_status(new CatalogStatus(library, this)),
      m_sort(new SortMenuButton(state, this)),
      m_grid(new BarButton(QStringLiteral("square.grid.2x2"), QStringLiteral("Grid (Ctrl+1)"), this)),
      m_list(new BarButton(QStringLiteral("list.bullet"), QStringLiteral("List (Ctrl+2)"), this)),
      m_refresh(new BarButton(QStringLiteral("arrow.clockwise"), QStringLiteral("Refresh (Ctrl+R)"), this)),
      m_inspector(new BarButton(QStringLiteral("sidebar.right"), QStringLiteral("Inspector (Ctrl+I)"), this))
{
    setFixedHeight(kHeight);
    setFont(Theme::font(12));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(kSideInset, 0, kSideInset, 0);
    row->setSpacing(kSpacing);
    row->addWidget(m_box, 1);
    row->addSpacerItem(new QSpacerItem(kMinFlexible, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
    row->addWidget(m_status);
    row->addWidget(m_sort);
    auto *views = new QHBoxLayout;
    views->setSpacing(kSwitchSpacing);
    views->addWidget(m_grid);
    views->addWidget(m_list);
    row->addLayout(views);
    row->addWidget(m_refresh);
    row->addWidget(m_inspector);

    QLineEdit *field = m_box->field();
    field->setText(state.query());
    connect(field, &QLineEdit::textEdited, this, &TopBar::edited);
    connect(m_box, &SearchBox::escaped, this, [this]() {
        m_state.setQuery(QString());
        // The keyboard goes to the page's files, never to nothing.
        AppState::releaseSearchFocus();
    });
    connect(m_box->clearButton(), &QAbstractButton::clicked, this, [this]() { m_state.setQuery(QString()); });
    connect(&state, &AppState::queryChanged, this, &TopBar::followQuery);
    connect(&state, &AppState::focusSearchChanged, this,
            [this]() { m_box->field()->setFocus(Qt::ShortcutFocusReason); });

    connect(m_grid, &QAbstractButton::clicked, this, [this]() { m_state.setListMode(false); });
    connect(m_list, &QAbstractButton::clicked, this, [this]() { m_state.setListMode(true); });
    connect(m_refresh, &QAbstractButton::clicked, &library, [&library]() { library.rescan(false); });
    connect(m_inspector, &QAbstractButton::clicked, this,
            [this]() { m_state.setShowInspector(!m_state.showInspector()); });
    connect(&state, &AppState::listModeChanged, this, &TopBar::followButtons);
    connect(&state, &AppState::showInspectorChanged, this, &TopBar::followButtons);
    followButtons();
}

QLineEdit *TopBar::searchField() const
{
    return m_box->field();
}

QAbstractButton *TopBar::clearButton() const
{
    return m_box->clearButton();
}

bool TopBar::searching() const
{
    return m_box->searching();
}

void TopBar::edited(const QString &text)
{
    // Emptied before the text is stored, so the search runs once per
    // keystroke with every chip on rather than once with the old chips and
    // again without them.
    m_state.setDroppedChips({});
    m_state.setSelection({});
    m_state.setQuery(text);
}

void TopBar::followQuery()
{
    QLineEdit *field = m_box->field();
    if (field->text() != m_state.query())
        field->setText(m_state.query());
    m_state.setDroppedChips({});
    m_state.setSelection({});
}

void TopBar::followButtons()
{
    m_grid->setOn(!m_state.listMode());
    m_list->setOn(m_state.listMode());
    m_refresh->setOn(false);
    m_inspector->setOn(m_state.showInspector());
}
