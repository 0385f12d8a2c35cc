#include "searchpage.h"

#include "chipbar.h"
#include "searchtexts.h"

#include "library/library.h"
#include "pages/filespage.h"
#include "state/appstate.h"

#include <QThreadPool>
#include <QVBoxLayout>

#include <algorithm>

SearchPage::SearchPage(AppState &state, Library &library, Thumbs &thumbs, QWidget *parent)
    : QWidget(parent), m_state(state), m_library(library), m_page(new FilesPage(state, thumbs, this)),
      m_chips(new ChipBar), m_session(new SearchSession(library, this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_page);
    m_page->setHeader(m_chips);
    m_page->setItems({});
    present({}, false);

    connect(m_session, &SearchSession::widened, this, [this](const SearchEngine::Outcome &outcome) {
        present(outcome, false);
        emit widened();
    });
    connect(m_chips, &ChipBar::toggled, this, &SearchPage::toggle);
    connect(&state, &AppState::queryChanged, this, &SearchPage::follow);
    connect(&state, &AppState::droppedChipsChanged, this, &SearchPage::follow);
    // A rescan, a move to the Trash or new recognised text changes what matches.
    connect(&library, &Library::itemsChanged, this, &SearchPage::rerun);
    connect(&library, &Library::ocrChanged, this, &SearchPage::rerun);
    connect(&library, &Library::subjectsChanged, this, &SearchPage::rerun);
    connect(&library, &Library::sourcesChanged, this, &SearchPage::rerun);
    follow();
    // A page made over a catalog already read readies its side table at once.
    if (!SearchTexts::isSearch(state.query()) && !library.items().isEmpty())
        rerun();
}

SearchPage::~SearchPage() = default;

void SearchPage::setWideSearch(SearchEngine::WideSearch wide)
{
    m_session->setWideSearch(std::move(wide));
}

void SearchPage::setClock(std::function<Millis()> now)
{
    m_session->setClock(std::move(now));
}

QString SearchPage::keyFor(const QString &query, const QSet<QString> &dropped)
{
    QStringList ids(dropped.begin(), dropped.end());
    std::sort(ids.begin(), ids.end());
    return query + u'|' + ids.join(u',');
}

void SearchPage::follow()
{
    const QString key = keyFor(m_state.query(), m_state.droppedChips());
    if (key == m_key)
        return;
    m_key = key;
    run();
}

void SearchPage::rerun()
{
    if (SearchTexts::isSearch(m_state.query())) {
        run();
        return;
    }
    // No search is shown: build the new catalog's side table off the main
    // thread now, so the first keystroke does not wait for it.
    QThreadPool::globalInstance()->start(
        [catalog = SearchEngine::Catalog::of(m_library)]() { SearchEngine::prepare(catalog); });
}

void SearchPage::run()
{
    m_session->cancel();
    const QString &text = m_state.query();
    if (!SearchTexts::isSearch(text)) {
        // Nothing to look for: the page is not shown, and must not come back
        // with the files of an older search.
        m_chips->setChips({}, {});
        present({}, false);
        return;
    }
    const Query parsed = m_session->parse(text);
    m_chips->setChips(parsed.chips(), m_state.droppedChips());
    Query query = parsed;
    query.drop(m_state.droppedChips());
    SearchEngine::Outcome local;
    local.items = m_session->start(query);
    present(local, true);
    m_session->widenAfterPause();
}

void SearchPage::toggle(const QString &id)
{
    QSet<QString> dropped = m_state.droppedChips();
    if (!dropped.remove(id))
        dropped.insert(id);
    m_state.setDroppedChips(dropped);
}

void SearchPage::present(const SearchEngine::Outcome &outcome, bool looking)
{
    m_outcome = outcome;
    m_looking = looking;
    m_page->setTitle(SearchTexts::title(m_state.query()));
    m_page->setSubtitle(SearchTexts::subtitle(outcome.items.size(), looking, outcome.beyond));
    m_page->setEmpty(SearchTexts::emptySymbol(), SearchTexts::emptyTitle(looking), SearchTexts::emptyDetail(looking));
    // The wide stage often adds nothing: the same files need no second sort.
    if (m_shownItems != outcome.items) {
        m_shownItems = outcome.items;
        m_page->setItems(outcome.items);
    }
}
