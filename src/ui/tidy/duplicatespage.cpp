#include "duplicatespage.h"

#include "banner.h"
#include "dupgroupcard.h"
#include "pagescroll.h"
#include "shieldnote.h"
#include "tidytexts.h"

#include "components/pageheader.h"
#include "components/pillbutton.h"
#include "library/library.h"
#include "state/trasher.h"

#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// How close to the end of the page the next batch of cards is made.
constexpr int kLoadAhead = 800;

} // namespace

DuplicatesPage::DuplicatesPage(AppState &, Library &library, Thumbs &thumbs, QWidget *parent)
    : QWidget(parent), m_library(library), m_thumbs(thumbs), m_scroll(new PageScroll(kSpacing, this)),
      m_header(new PageHeader(QStringLiteral("Duplicates"), QString::fromUtf8(TidyTexts::kDupSubtitle))),
      m_banner(new Banner(QStringLiteral("square.on.square"), {}, {})),
      m_trashAll(new PillButton(QStringLiteral("Trash All Extras"), QStringLiteral("trash"), true)),
      m_list(new QWidget), m_note(new ShieldNote(QString::fromUtf8(TidyTexts::kDupNote)))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);

    auto *cards = new QVBoxLayout(m_list);
    cards->setContentsMargins(0, 0, 0, 0);
    cards->setSpacing(kCardSpacing);
    m_banner->addAction(m_trashAll);
    QVBoxLayout *column = m_scroll->column();
    column->addWidget(m_header);
    column->addWidget(m_banner);
    column->addWidget(m_list);
    column->addWidget(m_note);

    connect(m_trashAll, &QAbstractButton::clicked, this, [this]() {
        (m_trasher ? *m_trasher : Trasher::shared()).trashExtras(extras());
    });
    connect(&library, &Library::dupGroupsChanged, this, &DuplicatesPage::refresh);
    connect(&library, &Library::dupScanningChanged, this, &DuplicatesPage::refreshBanner);
    connect(m_scroll->verticalScrollBar(), &QScrollBar::valueChanged, this, &DuplicatesPage::scrolled);
    connect(m_scroll->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this]() { scrolled(m_scroll->verticalScrollBar()->value()); });
    refresh();
}

void DuplicatesPage::setTrasher(Trasher &trasher)
{
    m_trasher = &trasher;
    for (DupGroupCard *card : m_cards)
        card->setTrasher(m_trasher);
}

QList<FileItem> DuplicatesPage::extras() const
{
    QList<FileItem> out;
    for (const DupGroup &group : m_library.dupGroups())
        out.append(group.extras());
    return out;
}

void DuplicatesPage::refresh()
{
    refreshBanner();
    showCards(std::max<qsizetype>(kBatch, m_cards.size()));
}

void DuplicatesPage::refreshBanner()
{
    const QList<DupGroup> &groups = m_library.dupGroups();
    qsizetype extraCount = 0;
    qint64 wasted = 0;
    for (const DupGroup &group : groups) {
        extraCount += group.items.size() - 1;
        wasted += group.wasted();
    }
    const TidyTexts::DupBanner texts =
        TidyTexts::dupBanner(m_library.dupScanning(), groups.size(), extraCount, wasted);
    m_banner->setTitle(texts.title);
    m_banner->setDetail(texts.detail);
    m_trashAll->setVisible(texts.trashAll);
}

void DuplicatesPage::showCards(qsizetype count)
{
    const QList<DupGroup> &groups = m_library.dupGroups();
    count = std::min(count, groups.size());
    while (m_cards.size() > count)
        delete m_cards.takeLast();
    for (qsizetype i = 0; i < m_cards.size(); ++i)
        m_cards[i]->setGroup(groups.at(i));
    auto *layout = static_cast<QVBoxLayout *>(m_list->layout());
    while (m_cards.size() < count) {
        auto *card = new DupGroupCard(groups.at(m_cards.size()), m_library, m_thumbs);
        card->setTrasher(m_trasher);
        layout->addWidget(card);
        m_cards.append(card);
    }
    m_list->setVisible(!m_cards.isEmpty());
}

void DuplicatesPage::scrolled(int value)
{
    const QScrollBar *bar = m_scroll->verticalScrollBar();
    if (m_cards.size() < m_library.dupGroups().size() && value >= bar->maximum() - kLoadAhead)
        showCards(m_cards.size() + kBatch);
}
