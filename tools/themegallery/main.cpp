// Renders every shared component and the symbol table, light and dark, to PNG
// files, for looking at the theme without the application:
//   QT_QPA_PLATFORM=offscreen tovalo-themegallery OUTDIR
#include "components/emptystate.h"
#include "components/kindtag.h"
#include "components/pageheader.h"
#include "components/pillbutton.h"
#include "components/sectionheader.h"
#include "theme/appearance.h"
#include "theme/symbols.h"
#include "theme/theme.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QTextStream>
#include <QVBoxLayout>

namespace {

// The window background, and a painted strip of swatches and symbols.
class Board final : public QWidget
{
public:
    enum class Content
    {
        background,
        swatches,
        symbols
    };
    Board(Content content, QWidget *parent = nullptr) : QWidget(parent), m_content(content)
    {
        Appearance::shared().follow(this, &m_dark);
        if (content == Content::swatches)
            setFixedHeight(86);
        if (content == Content::symbols)
            setFixedHeight(int((Symbols::table().size() + 5) / 6) * 34);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        if (m_content == Content::background)
            p.fillRect(rect(), Theme::bg.resolve(m_dark));
        else if (m_content == Content::swatches)
            paintSwatches(p);
        else
            paintSymbols(p);
    }

private:
    void paintSwatches(QPainter &p)
    {
        const QFont caption = Theme::font(10);
        p.setFont(caption);
        int x = 0;
        for (const Theme::NamedColor &named : Theme::named()) {
            const QRectF chip(x, 0, 44, 44);
            p.setPen(QPen(Theme::line.resolve(m_dark), 1));
            p.setBrush(named.color->resolve(m_dark));
            p.drawRoundedRect(chip.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
            p.setPen(Theme::ink3.resolve(m_dark));
            p.drawText(QRectF(x - 6, 48, 56, 14), Qt::AlignHCenter,
                       QString::fromLatin1(named.name));
            x += 56;
        }
        x = 0;
        for (Kind kind : Kinds::all) {
            p.setPen(Qt::NoPen);
            p.setBrush(Theme::tint(kind).resolve(m_dark));
            p.drawEllipse(QRectF(x + 2, 68, 14, 14));
            p.setPen(Theme::ink2.resolve(m_dark));
            p.drawText(QPointF(x + 22, 80), Kinds::title(kind));
            x += 96;
        }
    }
    void paintSymbols(QPainter &p)
    {
        const QFont caption = Theme::font(11);
        int i = 0;
        for (const Symbols::Glyph &glyph : Symbols::table()) {
            const int col = i % 6;
            const int row = i / 6;
            const QRectF box(col * 190, row * 34, 28, 28);
            Symbols::draw(p, box, QString::fromLatin1(glyph.name), 17, Theme::ink2.resolve(m_dark));
            p.setFont(caption);
            p.setPen(Theme::ink3.resolve(m_dark));
            p.drawText(QRectF(box.right() + 6, box.top(), 150, box.height()), Qt::AlignVCenter,
                       QString::fromLatin1(glyph.name));
            ++i;
        }
    }

    Content m_content;
    bool m_dark = false;
};

FileItem sample(const char *path, const char *ext, Kind kind)
{
    FileItem::Fields f;
    f.path = path;
    f.ext = QString::fromLatin1(ext);
    f.kind = kind;
    return FileItem(f);
}

QWidget *gallery()
{
    auto *root = new Board(Board::Content::background);
    auto *column = new QVBoxLayout(root);
    column->setContentsMargins(28, 24, 28, 24);
    column->setSpacing(18);

    auto *header =
        new PageHeader(QStringLiteral("Screenshots"),
                       QStringLiteral("4,203 screenshots · 1.2 GB · text inside is searchable"));
    auto *actions = new QWidget;
    auto *actionRow = new QHBoxLayout(actions);
    actionRow->setContentsMargins(0, 0, 0, 0);
    actionRow->setSpacing(8);
    actionRow->addWidget(new PillButton(QStringLiteral("Select None")));
    actionRow->addWidget(
        new PillButton(QStringLiteral("Trash Selected"), QStringLiteral("trash"), true));
    header->setTrailing(actions);
    column->addWidget(header);

    auto *single =
        new PageHeader(QStringLiteral("Duplicates"), QStringLiteral("5 extra copies in 3 groups"));
    single->setTrailing(
        new PillButton(QStringLiteral("Trash All Extras"), QStringLiteral("trash"), true));
    column->addWidget(single);

    column->addWidget(new SectionHeader(QStringLiteral("Recent"), QStringLiteral("128"),
                                        QStringLiteral("See all"), [] {}));
    column->addWidget(new SectionHeader(QStringLiteral("Clean Up"), std::nullopt,
                                        QStringLiteral("Review"), [] {}));

    auto *pills = new QHBoxLayout;
    pills->setSpacing(10);
    pills->addWidget(new PillButton(QStringLiteral("Select All")));
    pills->addWidget(new PillButton(QStringLiteral("Keep 1, Trash 2"), QStringLiteral("trash")));
    pills->addWidget(new PillButton(QStringLiteral("Remove"), std::nullopt, false, true));
    pills->addWidget(new PillButton(QStringLiteral("Trash All"), QStringLiteral("trash"), true));
    pills->addWidget(new PillButton(QStringLiteral("Delete"), QStringLiteral("xmark"), true, true));
    auto *hovered = new PillButton(QStringLiteral("Hovered"), QStringLiteral("sparkles"));
    pills->addWidget(hovered);
    auto *hoveredProminent =
        new PillButton(QStringLiteral("Hovered"), QStringLiteral("plus"), true);
    pills->addWidget(hoveredProminent);
    auto *disabled = new PillButton(QStringLiteral("Disabled"), QStringLiteral("trash"), true);
    disabled->setEnabled(false);
    pills->addWidget(disabled);
    pills->addStretch();
    column->addLayout(pills);
    for (QWidget *w : {static_cast<QWidget *>(hovered), static_cast<QWidget *>(hoveredProminent)}) {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(w, &enter);
    }

    auto *tags = new QHBoxLayout;
    tags->setSpacing(8);
    tags->addWidget(new KindTag(sample("/p/IMG_0001.jpg", "jpg", Kind::image)));
    tags->addWidget(new KindTag(sample("/v/clip.mp4", "mp4", Kind::video)));
    tags->addWidget(new KindTag(sample("/m/song.flac", "flac", Kind::music)));
    tags->addWidget(new KindTag(sample("/d/Report.pdf", "pdf", Kind::document)));
    tags->addWidget(new KindTag(sample("/d/README", "", Kind::document)));
    tags->addWidget(new KindTag(sample("/a/backup.zip", "zip", Kind::archive)));
    tags->addWidget(new KindTag(sample("/Applications/Notes.app", "app", Kind::app)));
    tags->addWidget(new KindTag(sample("/src/Makefile", "", Kind::other)));
    tags->addStretch();
    column->addLayout(tags);

    column->addWidget(new Board(Board::Content::swatches));
    column->addWidget(new EmptyState(QStringLiteral("tray"), QStringLiteral("Nothing here yet"),
                                     QStringLiteral("Files will show up here as they arrive.")));
    column->addWidget(new Board(Board::Content::symbols));
    return root;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    QTextStream stdoutStream(stdout);

    QWidget *page = gallery();
    page->resize(1180, page->sizeHint().height());
    page->show();
    const struct
    {
        bool dark;
        const char *file;
    } shots[] = {{false, "gallery-light.png"}, {true, "gallery-dark.png"}};
    for (const auto &shot : shots) {
        Appearance::shared().setForcedDark(shot.dark);
        const QString path = QDir(out).filePath(QString::fromLatin1(shot.file));
        if (!page->grab().save(path)) {
            stdoutStream << "could not write " << path << "\n";
            return 1;
        }
        stdoutStream << path << "\n";
    }
    delete page;
    return 0;
}
