#include "textfamily.h"

#include <QHash>
#include <QString>

namespace {

struct Entry
{
    const char16_t *ext;
    TextFamily family;
};

constexpr Entry kTable[] = {
    // Plain text, data and markup read as text.
    {u"txt", TextFamily::plain}, {u"text", TextFamily::plain}, {u"md", TextFamily::plain},
    {u"markdown", TextFamily::plain}, {u"rst", TextFamily::plain}, {u"org", TextFamily::plain},
    {u"tex", TextFamily::plain}, {u"csv", TextFamily::plain}, {u"tsv", TextFamily::plain},
    {u"json", TextFamily::plain}, {u"jsonl", TextFamily::plain}, {u"xml", TextFamily::plain},
    {u"yaml", TextFamily::plain}, {u"yml", TextFamily::plain}, {u"toml", TextFamily::plain},
    {u"ini", TextFamily::plain}, {u"cfg", TextFamily::plain}, {u"conf", TextFamily::plain},
    {u"log", TextFamily::plain}, {u"srt", TextFamily::plain}, {u"vtt", TextFamily::plain},
    {u"ics", TextFamily::plain}, {u"vcf", TextFamily::plain}, {u"eml", TextFamily::plain},
    // Source code.
    {u"c", TextFamily::plain}, {u"h", TextFamily::plain}, {u"cc", TextFamily::plain},
    {u"cpp", TextFamily::plain}, {u"cxx", TextFamily::plain}, {u"hpp", TextFamily::plain},
    {u"hh", TextFamily::plain}, {u"m", TextFamily::plain}, {u"mm", TextFamily::plain},
    {u"swift", TextFamily::plain}, {u"java", TextFamily::plain}, {u"kt", TextFamily::plain},
    {u"kts", TextFamily::plain}, {u"scala", TextFamily::plain}, {u"go", TextFamily::plain},
    {u"rs", TextFamily::plain}, {u"py", TextFamily::plain}, {u"rb", TextFamily::plain},
    {u"pl", TextFamily::plain}, {u"php", TextFamily::plain}, {u"js", TextFamily::plain},
    {u"mjs", TextFamily::plain}, {u"ts", TextFamily::plain}, {u"tsx", TextFamily::plain},
    {u"jsx", TextFamily::plain}, {u"css", TextFamily::plain}, {u"scss", TextFamily::plain},
    {u"sh", TextFamily::plain}, {u"bash", TextFamily::plain}, {u"zsh", TextFamily::plain},
    {u"fish", TextFamily::plain}, {u"ps1", TextFamily::plain}, {u"bat", TextFamily::plain},
    {u"sql", TextFamily::plain}, {u"r", TextFamily::plain}, {u"lua", TextFamily::plain},
    {u"cs", TextFamily::plain}, {u"fs", TextFamily::plain}, {u"hs", TextFamily::plain},
    {u"ml", TextFamily::plain}, {u"ex", TextFamily::plain}, {u"exs", TextFamily::plain},
    {u"erl", TextFamily::plain}, {u"clj", TextFamily::plain}, {u"dart", TextFamily::plain},
    {u"vue", TextFamily::plain}, {u"cmake", TextFamily::plain}, {u"mk", TextFamily::plain},
    {u"gradle", TextFamily::plain}, {u"qml", TextFamily::plain}, {u"ipynb", TextFamily::plain},
    // Markup whose tags are not text.
    {u"html", TextFamily::html}, {u"htm", TextFamily::html}, {u"xhtml", TextFamily::html},
    {u"rtf", TextFamily::rtf}, {u"pdf", TextFamily::pdf},
    {u"docx", TextFamily::office}, {u"xlsx", TextFamily::office}, {u"pptx", TextFamily::office},
    {u"odt", TextFamily::office}, {u"ods", TextFamily::office}, {u"odp", TextFamily::office},
    {u"epub", TextFamily::epub}, {u"gz", TextFamily::gzip},
    // Pictures cameras write, which carry EXIF.
    {u"jpg", TextFamily::camera}, {u"jpeg", TextFamily::camera}, {u"tif", TextFamily::camera},
    {u"tiff", TextFamily::camera}, {u"png", TextFamily::camera}, {u"webp", TextFamily::camera},
    {u"dng", TextFamily::camera}, {u"cr2", TextFamily::camera}, {u"nef", TextFamily::camera},
    {u"arw", TextFamily::camera}, {u"orf", TextFamily::camera}, {u"rw2", TextFamily::camera},
    {u"pef", TextFamily::camera}, {u"raf", TextFamily::camera}, {u"srw", TextFamily::camera},
};

const QHash<QString, TextFamily> &table()
{
    static const QHash<QString, TextFamily> t = [] {
        QHash<QString, TextFamily> h;
        for (const Entry &e : kTable)
            h.insert(QString::fromUtf16(e.ext), e.family);
        return h;
    }();
    return t;
}

} // namespace

namespace TextFamilies {

TextFamily of(QStringView lowerExt)
{
    return table().value(lowerExt.toString(), TextFamily::none);
}

bool isRisky(TextFamily family)
{
    switch (family) {
    case TextFamily::pdf:
    case TextFamily::office:
    case TextFamily::epub:
    case TextFamily::camera:
        return true;
    case TextFamily::none:
    case TextFamily::plain:
    case TextFamily::html:
    case TextFamily::rtf:
    case TextFamily::gzip:
        return false;
    }
    return true;
}

} // namespace TextFamilies
