#include "markuptext.h"

#include "textsink.h"

#include <QHash>
#include <QString>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace {

const QHash<QString, char16_t> &namedEntities()
{
    static const QHash<QString, char16_t> t{
        {QStringLiteral("amp"), u'&'},     {QStringLiteral("lt"), u'<'},      {QStringLiteral("gt"), u'>'},
        {QStringLiteral("quot"), u'"'},    {QStringLiteral("apos"), u'\''},   {QStringLiteral("nbsp"), u' '},
        {QStringLiteral("copy"), u'©'},    {QStringLiteral("reg"), u'®'},     {QStringLiteral("trade"), u'™'},
        {QStringLiteral("mdash"), u'—'},   {QStringLiteral("ndash"), u'–'},   {QStringLiteral("hellip"), u'…'},
        {QStringLiteral("laquo"), u'«'},   {QStringLiteral("raquo"), u'»'},   {QStringLiteral("lsquo"), u'‘'},
        {QStringLiteral("rsquo"), u'’'},   {QStringLiteral("ldquo"), u'“'},   {QStringLiteral("rdquo"), u'”'},
        {QStringLiteral("euro"), u'€'},    {QStringLiteral("pound"), u'£'},   {QStringLiteral("eacute"), u'é'},
        {QStringLiteral("egrave"), u'è'},  {QStringLiteral("agrave"), u'à'},  {QStringLiteral("aacute"), u'á'},
        {QStringLiteral("ouml"), u'ö'},    {QStringLiteral("uuml"), u'ü'},    {QStringLiteral("auml"), u'ä'},
        {QStringLiteral("szlig"), u'ß'},   {QStringLiteral("ccedil"), u'ç'},  {QStringLiteral("ntilde"), u'ñ'},
        {QStringLiteral("deg"), u'°'},     {QStringLiteral("middot"), u'·'},  {QStringLiteral("bull"), u'•'},
    };
    return t;
}

bool isBlockTag(QStringView name)
{
    static const char16_t *const blocks[] = {u"p",  u"br", u"div", u"li",  u"tr",      u"h1",    u"h2",
                                             u"h3", u"h4", u"h5",  u"h6",  u"title",   u"table", u"ul",
                                             u"ol", u"dt", u"dd",  u"pre", u"section", u"article", u"blockquote",
                                             u"hr", u"td", u"th"};
    for (const char16_t *b : blocks)
        if (name.compare(QStringView(b), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Appends `text` with its character references decoded.
void appendDecoded(QStringView text, QString &out)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            out.append(text[i]);
            continue;
        }
        const qsizetype semi = text.indexOf(u';', i + 1);
        if (semi < 0 || semi - i > 12) {
            out.append(text[i]);
            continue;
        }
        const QStringView ref = text.mid(i + 1, semi - i - 1);
        bool ok = false;
        char32_t code = 0;
        if (ref.startsWith(u'#')) {
            const bool hex = ref.size() > 1 && (ref[1] == u'x' || ref[1] == u'X');
            code = char32_t(ref.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10));
            ok = ok && code > 0 && code <= 0x10FFFF;
        } else {
            const auto it = namedEntities().constFind(ref.toString());
            if (it != namedEntities().cend()) {
                code = it.value();
                ok = true;
            }
        }
        if (!ok) {
            out.append(text[i]);
            continue;
        }
        out.append(QString::fromUcs4(&code, 1));
        i = semi;
    }
}

QString decodeBytes(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    // Old pages are often Windows-1252; Latin-1 keeps every byte as some letter.
    return QString::fromLatin1(bytes);
}

} // namespace

namespace MarkupText {

void html(const QByteArray &bytes, TextSink &sink)
{
    const QString text = decodeBytes(bytes);
    const QStringView all(text);
    QString chunk;
    qsizetype i = 0;
    auto flush = [&] {
        QString decoded;
        appendDecoded(chunk, decoded);
        chunk.clear();
        return sink.append(decoded);
    };
    while (i < all.size() && !sink.isFull()) {
        const qsizetype lt = all.indexOf(u'<', i);
        chunk.append(all.mid(i, (lt < 0 ? all.size() : lt) - i));
        if (lt < 0)
            break;
        if (!flush())
            return;
        if (all.mid(lt, 4) == u"<!--") {
            const qsizetype end = all.indexOf(u"-->", lt + 4);
            i = end < 0 ? all.size() : end + 3;
            continue;
        }
        const qsizetype gt = all.indexOf(u'>', lt + 1);
        if (gt < 0)
            break;
        QStringView tag = all.mid(lt + 1, gt - lt - 1).trimmed();
        const bool closing = tag.startsWith(u'/');
        if (closing)
            tag = tag.mid(1);
        qsizetype nameEnd = 0;
        while (nameEnd < tag.size() && (tag[nameEnd].isLetterOrNumber() || tag[nameEnd] == u':'))
            ++nameEnd;
        const QStringView name = tag.left(nameEnd);
        i = gt + 1;
        if (!closing && (name.compare(u"script", Qt::CaseInsensitive) == 0 ||
                         name.compare(u"style", Qt::CaseInsensitive) == 0)) {
            const QString close = QStringLiteral("</") + name.toString();
            const qsizetype end = all.indexOf(close, i, Qt::CaseInsensitive);
            if (end < 0)
                break;
            const qsizetype endGt = all.indexOf(u'>', end);
            i = endGt < 0 ? all.size() : endGt + 1;
            continue;
        }
        // Inline tags join their neighbours, as browsers show them.
        if (isBlockTag(name))
            sink.breakLine();
    }
    flush();
}

void xml(const QByteArray &bytes, TextSink &sink)
{
    QXmlStreamReader reader(bytes);
    // Only local names matter here; a part that forgets to declare a prefix still has words.
    reader.setNamespaceProcessing(false);
    auto localName = [&reader] {
        const QStringView q = reader.qualifiedName();
        const qsizetype colon = q.indexOf(u':');
        return colon < 0 ? q : q.mid(colon + 1);
    };
    while (!reader.atEnd() && !sink.isFull()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::Characters:
            if (!reader.isWhitespace() && !sink.append(reader.text()))
                return;
            break;
        case QXmlStreamReader::StartElement: {
            const QStringView name = localName();
            if (name == u"tab" || name == u"s")
                sink.append(u" ");
            else if (name == u"br" || name == u"line-break")
                sink.breakLine();
            break;
        }
        case QXmlStreamReader::EndElement: {
            const QStringView name = localName();
            if (name == u"p" || name == u"h" || name == u"tr" || name == u"li" || name == u"si" ||
                name == u"table-row" || name == u"div" || name == u"title" || isBlockTag(name))
                sink.breakLine();
            break;
        }
        default:
            break;
        }
    }
}

} // namespace MarkupText
