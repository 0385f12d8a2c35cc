#include "cleanuppage.h"

#include "adaptivegridlayout.h"
#include "cleanuptile.h"
#include "pagescroll.h"
#include "shieldnote.h"
#include "tidytexts.h"

#include "analysis/cleanup.h"
#include "components/pageheader.h"
#include "library/library.h"

#include <QVBoxLayout>

CleanupPage::CleanupPage(AppState &state, Library &library, Thumbs &thumbs, QWidget *parent)
    : QWidget(parent), m_library(library), m_scroll(new PageScroll(kSpacing, this)),
      m_header(new PageHeader(QStringLiteral("Clean Up"), {})),
      m_note(new ShieldNote(QString::fromUtf8(TidyTexts::kCleanupNote)))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);

    auto *grid = new QWidget;
    auto *tiles = new AdaptiveGridLayout(kTileMin, kTileMax, kGridSpacing, kGridSpacing, grid);
    for (CleanupKind kind : CleanupKinds::all) {
        auto *tile = new CleanupTile(CleanupCard{kind, {}}, state, thumbs);
        tiles->addWidget(tile);
        m_tiles.append(tile);
    }
    QVBoxLayout *column = m_scroll->column();
    column->addWidget(m_header);
    column->addWidget(grid);
    column->addWidget(m_note);

    connect(&library, &Library::cleanupChanged, this, &CleanupPage::refresh);
    refresh();
}

void CleanupPage::refresh()
{
    const QList<CleanupCard> &cards = m_library.cleanup();
    m_header->setSubtitle(TidyTexts::cleanupSubtitle(Cleanup::total(cards)));
    for (CleanupTile *tile : m_tiles) {
        const CleanupKind kind = tile->card().kind;
        CleanupCard card{kind, {}};
        for (const CleanupCard &c : cards)
            if (c.kind == kind)
                card = c;
        tile->setCard(card);
        tile->setEnabled(!card.items.isEmpty());
    }
}
