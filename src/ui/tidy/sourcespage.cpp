#include "sourcespage.h"

#include "adaptivegridlayout.h"
#include "pagescroll.h"
#include "sourcecard.h"
#include "tidytexts.h"

#include "components/emptystate.h"
#include "components/pageheader.h"
#include "library/library.h"

#include <QVBoxLayout>

SourcesPage::SourcesPage(AppState &state, Library &library, Thumbs &thumbs, QWidget *parent)
    : QWidget(parent), m_state(state), m_library(library), m_thumbs(thumbs),
      m_scroll(new PageScroll(kSpacing, this)), m_header(new PageHeader(QStringLiteral("Downloaded From"), {})),
      m_grid(new QWidget),
      m_empty(new EmptyState(QString::fromUtf8(TidyTexts::kSourcesEmptySymbol),
                             QString::fromUtf8(TidyTexts::kSourcesEmptyTitle),
                             QString::fromUtf8(TidyTexts::kSourcesEmptyDetail)))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);

    new AdaptiveGridLayout(kCardMin, kCardMax, kGridSpacing, kGridSpacing, m_grid);
    QVBoxLayout *column = m_scroll->column();
    column->addWidget(m_header);
    column->addWidget(m_grid);
    column->addWidget(m_empty);

    connect(&library, &Library::sourcesChanged, this, &SourcesPage::refresh);
    refresh();
}

void SourcesPage::refresh()
{
    const QList<SourceGroup> &groups = m_library.sources();
    qsizetype files = 0;
    for (const SourceGroup &group : groups)
        files += group.items.size();
    m_header->setSubtitle(TidyTexts::sourcesSubtitle(files, groups.size()));

    // Cards are reused in place, so a rescan that changes a few counts does
    // not rebuild the grid.
    while (m_cards.size() > groups.size())
        delete m_cards.takeLast();
    for (qsizetype i = 0; i < m_cards.size(); ++i)
        m_cards[i]->setGroup(groups.at(i));
    while (m_cards.size() < groups.size()) {
        auto *card = new SourceCard(groups.at(m_cards.size()), m_state, m_thumbs);
        m_grid->layout()->addWidget(card);
        m_cards.append(card);
    }
    m_grid->setVisible(!groups.isEmpty());
    m_empty->setVisible(groups.isEmpty());
}
