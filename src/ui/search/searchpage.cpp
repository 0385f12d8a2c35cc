#include "searchpage.h"

#include "chipbar.h"
#include "searchtexts.h"

#include "library/library.h"
#include "pages/filespage.h"
#include "search/queryparser.h"
#include "search/spotlight.h"
#include "state/appstate.h"

#include <QDateTime>
#include <QFutureWatcher>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QStringList sourceNames(const Library &library)
{
    QStringList out;
    out.reserve(library.sources().size());
    for (const SourceGroup &group : library.sources())
        out.append(group.name);
    return out;
}

} // namespace

SearchPage::SearchPage(AppState &state, Library &library, Thumbs &thumbs, QWidget *parent)
    : QWidget(parent), m_state(state), m_library(library), m_page(new FilesPage(state, thumbs, this)),
      m_chips(new ChipBar), m_pause(new QTimer(this)),
      m_wide([](const Query &query, int limit) { return Spotlight::search(query, limit); }),
      m_now([] { return Millis(QDateTime::currentMSecsSinceEpoch()); })
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_page);
    m_page->setHeader(m_chips);
    m_page->setItems({});
    present({}, false);

    m_pause->setSingleShot(true);
    m_pause->setInterval(kWidenDelayMs);
    connect(m_pause, &QTimer::timeout, this, &SearchPage::widen);
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
    m_wide = std::move(wide);
}

void SearchPage::setClock(std::function<Millis()> now)
{
    m_now = std::move(now);
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
    ++m_generation;
    m_pause->stop();
    const QString &text = m_state.query();
    if (!SearchTexts::isSearch(text)) {
        // Nothing to look for: the page is not shown, and must not come back
        // with the files of an older search.
        m_query = {};
        m_chips->setChips({}, {});
        present({}, false);
        return;
    }
    const Query parsed = QueryParser::parse(text, sourceNames(m_library), m_now());
    m_chips->setChips(parsed.chips(), m_state.droppedChips());
    m_query = parsed;
    m_query.drop(m_state.droppedChips());
    SearchEngine::Outcome local;
    local.items = SearchEngine::local(m_query, SearchEngine::Catalog::of(m_library));
    present(local, true);
    m_pause->start();
}

void SearchPage::widen()
{
    const quint64 generation = m_generation;
    auto *watcher = new QFutureWatcher<SearchEngine::Outcome>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation]() {
        watcher->deleteLater();
        // A newer search has begun since: its own answer is on the way.
        if (generation != m_generation || watcher->future().resultCount() == 0)
            return;
        present(watcher->future().result(), false);
        emit widened();
    });
    watcher->setFuture(
        SearchEngine::everywhere(m_query, m_outcome.items, SearchEngine::Catalog::of(m_library), m_wide));
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
