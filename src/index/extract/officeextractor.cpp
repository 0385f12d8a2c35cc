#include "officeextractor.h"

#include "markuptext.h"
#include "textsink.h"
#include "ziparchive.h"

#include <QCollator>
#include <QRegularExpression>

#include <algorithm>

namespace {

// Most bytes read from one XML part; its text is a fraction of that.
constexpr qint64 kMaxPartBytes = 64ll << 20;

// "slide10" after "slide9": parts are numbered, not zero-padded.
QStringList numbered(const QStringList &names, const QString &pattern)
{
    const QRegularExpression re(pattern);
    QList<std::pair<int, QString>> found;
    for (const QString &n : names) {
        const auto m = re.match(n);
        if (m.hasMatch())
            found.append({m.captured(1).toInt(), n});
    }
    std::sort(found.begin(), found.end());
    QStringList out;
    for (const auto &f : found)
        out.append(f.second);
    return out;
}

} // namespace

bool OfficeExtractor::read(const QByteArray &path, const QString &lowerExt, TextSink &sink)
{
    ZipArchive zip(path);
    if (!zip.isOpen())
        return false;
    QStringList parts;
    if (lowerExt == u"docx") {
        parts = {QStringLiteral("word/document.xml"), QStringLiteral("word/footnotes.xml"),
                 QStringLiteral("word/endnotes.xml")};
    } else if (lowerExt == u"xlsx") {
        // Cell words live in the shared strings; the sheets hold numbers and indexes into it.
        parts = {QStringLiteral("xl/sharedStrings.xml")};
    } else if (lowerExt == u"pptx") {
        const QStringList names = zip.names();
        parts = numbered(names, QStringLiteral("^ppt/slides/slide(\\d+)\\.xml$")) +
                numbered(names, QStringLiteral("^ppt/notesSlides/notesSlide(\\d+)\\.xml$"));
    } else {
        parts = {QStringLiteral("content.xml")};
    }
    bool any = false;
    for (const QString &part : parts) {
        const std::optional<QByteArray> bytes = zip.read(part, kMaxPartBytes);
        if (!bytes)
            continue;
        any = true;
        MarkupText::xml(*bytes, sink);
        sink.breakLine();
        if (sink.isFull())
            break;
    }
    // A document with no text part at all is not one.
    return any || lowerExt == u"pptx";
}
