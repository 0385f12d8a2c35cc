#include "kind.h"

#include <QHash>

namespace {

struct KindRow
{
    Kind kind;
    const char *extensions;
};

constexpr KindRow kTable[] = {
    {Kind::image, "jpg jpeg png gif heic heif webp tiff tif bmp svg raw cr2 cr3 nef arw dng psd ico "
                  "avif jxl"},
    {Kind::video, "mp4 mov m4v mkv avi webm wmv flv mpg mpeg 3gp ts"},
    {Kind::music, "mp3 m4a wav aac flac aiff aif ogg opus wma mid midi caf"},
    {Kind::document, "pdf doc docx pages txt rtf rtfd md xls xlsx numbers csv ppt pptx key epub odt "
                     "ods odp"},
    {Kind::archive, "zip rar 7z tar gz tgz bz2 xz dmg pkg deb rpm iso jar"},
    {Kind::app, "app appimage"},
};

const QHash<QString, Kind> &table()
{
    static const QHash<QString, Kind> built = [] {
        QHash<QString, Kind> t;
        for (const KindRow &row : kTable) {
            const QStringList pieces =
                QString::fromLatin1(row.extensions).split(u' ', Qt::SkipEmptyParts);
            for (const QString &piece : pieces)
                t.insert(piece, row.kind);
        }
        return t;
    }();
    return built;
}

struct KindNames
{
    const char16_t *raw;
    const char16_t *title;
    const char16_t *symbol;
};

constexpr KindNames kNames[] = {
    {u"image", u"Images", u"photo"},
    {u"video", u"Videos", u"play.rectangle"},
    {u"music", u"Music", u"music.note"},
    {u"document", u"Documents", u"doc.text"},
    {u"archive", u"Archives", u"archivebox"},
    {u"app", u"Apps", u"square.grid.2x2"},
    {u"other", u"Other", u"doc"},
};

const KindNames &names(Kind kind)
{
    return kNames[static_cast<int>(kind)];
}

} // namespace

namespace Kinds {

Kind of(QStringView lowerExt)
{
    const auto &t = table();
    const auto it = t.constFind(lowerExt.toString());
    return it == t.cend() ? Kind::other : it.value();
}

QStringList extensions(Kind kind)
{
    QStringList out;
    const auto &t = table();
    for (auto it = t.cbegin(); it != t.cend(); ++it)
        if (it.value() == kind)
            out.append(it.key());
    return out;
}

QString rawValue(Kind kind)
{
    return QString::fromUtf16(names(kind).raw);
}

std::optional<Kind> fromRawValue(QStringView raw)
{
    for (Kind kind : all)
        if (raw == QStringView(names(kind).raw))
            return kind;
    return std::nullopt;
}

QString title(Kind kind)
{
    return QString::fromUtf16(names(kind).title);
}

QString symbol(Kind kind)
{
    return QString::fromUtf16(names(kind).symbol);
}

} // namespace Kinds
