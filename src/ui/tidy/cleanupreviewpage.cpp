#include "cleanupreviewpage.h"

#include "backbutton.h"
#include "banner.h"
#include "reviewrow.h"
#include "tidytexts.h"

#include "components/pageheader.h"
#include "components/pillbutton.h"
#include "files/filelistview.h"
#include "library/library.h"
#include "pages/filelistmodel.h"
#include "state/appstate.h"
#include "state/trasher.h"

#include <QVBoxLayout>

FileListLayout CleanupReviewPage::rowsLayout()
{
    FileListLayout rows;
    rows.sideMargin = kSideMargin;
    rows.topMargin = kTopMargin;
    rows.bottomMargin = kBottomMargin;
    rows.headerSpacing = kSpacing;
    rows.spacing = kRowSpacing;
    return rows;
}

CleanupReviewPage::CleanupReviewPage(CleanupKind kind, AppState &state, Library &library, Thumbs &thumbs,
                                     QWidget *parent)
    : QWidget(parent), m_kind(kind), m_state(state), m_library(library),
      m_model(new FileListModel(this)),
      m_rows(new ReviewRow(thumbs, this)),
      m_list(new FileListView(*m_model, *m_rows, rowsLayout(), thumbs, state, this)),
      m_back(new BackButton(QString::fromUtf8(TidyTexts::kBackTitle))),
      m_header(new PageHeader(CleanupKinds::title(kind), CleanupKinds::detail(kind))),
      m_banner(new Banner(CleanupKinds::symbol(kind), {}, {})), m_select(new PillButton({})),
      m_trash(new PillButton({}, QStringLiteral("trash"), true))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    m_list->setSpokenName(QStringLiteral("Files to move to the Trash"));
    // Space ticks the focused file instead of previewing it.
    m_list->setProperty("ownKeys", QStringLiteral("space"));

    auto *top = new QWidget;
    auto *column = new QVBoxLayout(top);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(int(kSpacing));
    column->addWidget(m_back, 0, Qt::AlignLeft);
    column->addWidget(m_header);
    column->addWidget(m_banner);
    m_banner->addAction(m_select);
    m_banner->addAction(m_trash);
    m_list->setHeader(top);

    connect(m_back, &QAbstractButton::clicked, this, [this]() { m_state.go(Route::cleanup()); });
    connect(m_select, &QAbstractButton::clicked, this, &CleanupReviewPage::selectAllOrNone);
    connect(m_trash, &QAbstractButton::clicked, this, &CleanupReviewPage::trashSelected);
    connect(m_rows, &ReviewRow::tickClicked, this, &CleanupReviewPage::toggle);
    connect(&library, &Library::cleanupChanged, this, &CleanupReviewPage::reload);
    // Keyboard movement over the list asks for the file it lands on to be shown.
    connect(&state, &AppState::scrollTargetChanged, this, [this]() {
        if (const std::optional<QByteArray> &target = m_state.scrollTarget())
            m_list->scrollToRow(m_model->rowOf(*target), false);
    });
    reload();
}

void CleanupReviewPage::setTrasher(Trasher &trasher)
{
    m_trasher = &trasher;
}

QList<FileItem> CleanupReviewPage::selected() const
{
    QList<FileItem> out;
    out.reserve(m_items.size());
    for (const FileItem &item : m_items)
        if (!m_spared.contains(item.path()))
            out.append(item);
    return out;
}

void CleanupReviewPage::toggle(const QByteArray &path)
{
    if (!m_spared.remove(path))
        m_spared.insert(path);
    m_rows->setSpared(m_spared);
    m_list->viewport()->update();
    refreshBanner();
}

void CleanupReviewPage::selectAllOrNone()
{
    if (!m_spared.isEmpty()) {
        m_spared.clear();
    } else {
        for (const FileItem &item : m_items)
            m_spared.insert(item.path());
    }
    m_rows->setSpared(m_spared);
    m_list->viewport()->update();
    refreshBanner();
}

void CleanupReviewPage::trashSelected()
{
    const QList<FileItem> chosen = selected();
    if (chosen.isEmpty())
        return;
    // The moved files leave the card through the catalog, which redraws this page.
    Trasher &trasher = m_trasher ? *m_trasher : Trasher::shared();
    if (m_kind == CleanupKind::duplicates)
        trasher.trashExtras(chosen);
    else
        trasher.trash(chosen);
}

void CleanupReviewPage::reload()
{
    QList<FileItem> items;
    for (const CleanupCard &card : m_library.cleanup())
        if (card.kind == m_kind)
            items = card.items;
    const bool countChanged = items.size() != m_items.size();
    m_items = std::move(items);
    m_model->setItems(m_items);
    refreshBanner();
    if (countChanged)
        publishVisible();
}

void CleanupReviewPage::refreshBanner()
{
    qsizetype count = 0;
    qint64 bytes = 0;
    for (const FileItem &item : m_items) {
        if (m_spared.contains(item.path()))
            continue;
        ++count;
        bytes += item.size();
    }
    const TidyTexts::Review texts = TidyTexts::review(m_items.size(), count, bytes, m_spared.size());
    m_banner->setTitle(texts.title);
    m_banner->setDetail(texts.detail);
    m_select->setVisible(texts.actions);
    m_trash->setVisible(texts.actions);
    m_select->setText(texts.selectTitle);
    m_trash->setText(texts.trashTitle);
    m_trash->setEnabled(texts.trashEnabled);
    m_select->updateGeometry();
    m_trash->updateGeometry();
}

void CleanupReviewPage::publishVisible()
{
    // Only the page on screen speaks for the window.
    if (isVisible())
        m_state.setVisible(m_items);
}

void CleanupReviewPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    publishVisible();
}
