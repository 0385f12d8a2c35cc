#include "kindpage.h"

#include "facetchip.h"
#include "filespage.h"
#include "kindfacets.h"
#include "files/thumbs.h"

#include "library/library.h"
#include "model/summary.h"
#include "state/appstate.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>

KindPage::KindPage(Kind kind, QWidget *parent)
    : KindPage(kind, Library::shared(), AppState::shared(), Thumbs::shared(), parent)
{
}

KindPage::KindPage(Kind kind, Library &library, AppState &state, Thumbs &thumbs, QWidget *parent)
    : QWidget(parent), m_kind(kind), m_library(library), m_page(new FilesPage(state, thumbs, this)),
      m_facetRow(new QScrollArea), m_chipBox(new QWidget)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_page);

    m_facetRow->setFrameShape(QFrame::NoFrame);
    // A container, not a Tab stop: the keyboard goes straight to the chips.
    m_facetRow->setFocusPolicy(Qt::NoFocus);
    m_facetRow->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_facetRow->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_facetRow->setWidgetResizable(true);
    m_facetRow->viewport()->setAutoFillBackground(false);
    m_facetRow->setAutoFillBackground(false);
    m_chipBox->setAutoFillBackground(false);
    auto *chips = new QHBoxLayout(m_chipBox);
    chips->setContentsMargins(0, 1, 0, 1);
    chips->setSpacing(6);
    m_facetRow->setWidget(m_chipBox);
    // The scroll area paints its widget's background; the chips sit on the page's own.
    m_chipBox->setAutoFillBackground(false);
    m_page->setHeader(m_facetRow);

    m_page->setTitle(Kinds::title(kind));
    m_page->setEmpty(Kinds::symbol(kind), QStringLiteral("Nothing here yet"),
                     QStringLiteral("Files will show up here as they arrive."));
    connect(&library, &Library::byKindChanged, this, &KindPage::refresh);
    refresh();
}

void KindPage::pick(const std::optional<QString> &ext)
{
    if (ext == m_ext)
        return;
    m_ext = ext;
    refresh();
}

QList<FacetChip *> KindPage::chips() const
{
    if (m_facetRow->isHidden())
        return {};
    return m_chipBox->findChildren<FacetChip *>(Qt::FindDirectChildrenOnly);
}

void KindPage::refresh()
{
    const QList<FileItem> all = m_library.byKind().value(m_kind);
    const QList<KindFacets::Facet> facets = KindFacets::facets(all);
    const std::optional<QString> effective = KindFacets::effective(m_ext, facets);
    const QList<FileItem> shown = KindFacets::shown(all, effective);

    m_page->setSubtitle(summary(shown, m_kind == Kind::app ? QStringLiteral("app") : QStringLiteral("file")));
    m_page->setItems(shown);

    QLayout *row = m_chipBox->layout();
    // The chip being clicked may be the one asking for this: let it finish first.
    while (QLayoutItem *child = row->takeAt(0)) {
        if (QWidget *widget = child->widget()) {
            widget->hide();
            widget->setParent(nullptr);
            widget->deleteLater();
        }
        delete child;
    }
    m_facetRow->setVisible(facets.size() >= 2);
    if (facets.size() < 2)
        return;
    auto *allChip = new FacetChip(QStringLiteral("All"), int(all.size()), !effective, m_chipBox);
    connect(allChip, &FacetChip::clicked, this, [this]() { pick(std::nullopt); });
    row->addWidget(allChip);
    for (qsizetype i = 0; i < std::min<qsizetype>(facets.size(), KindFacets::kMaxChips); ++i) {
        const KindFacets::Facet &facet = facets.at(i);
        auto *chip = new FacetChip(KindFacets::title(facet.ext), facet.count, effective == facet.ext, m_chipBox);
        const QString ext = facet.ext;
        connect(chip, &FacetChip::clicked, this, [this, ext]() { pick(KindFacets::clicked(m_ext, ext)); });
        row->addWidget(chip);
    }
    static_cast<QHBoxLayout *>(row)->addStretch(1);
    // Chips made after the box was first shown start hidden, and a layout
    // leaves hidden widgets out: the row would be sized empty, two points
    // high, and the chips squeezed into hairlines.
    for (FacetChip *chip : m_chipBox->findChildren<FacetChip *>(Qt::FindDirectChildrenOnly))
        chip->show();
    row->activate();
    const QSize wanted = m_chipBox->sizeHint();
    m_facetRow->setFixedHeight(wanted.height());
    m_chipBox->resize(std::max(wanted.width(), m_facetRow->viewport()->width()), wanted.height());
}
