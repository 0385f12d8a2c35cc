#include "gzipextractor.h"

#include "markuptext.h"
#include "textfamily.h"
#include "textsink.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include <zlib.h>

namespace {

enum class Inside { none, plain, html, manual };

// What the file holds once inflated, from its name without ".gz": a manual
// page has a section for its extension ("ls.1", "Foo::Bar.3pm") or lies in
// a manN folder; a tar archive or a binary file shows itself by its bytes.
Inside insideOf(const QByteArray &path)
{
    const QString name = QFile::decodeName(path.mid(path.lastIndexOf('/') + 1));
    if (!name.endsWith(QLatin1String(".gz"), Qt::CaseInsensitive))
        return Inside::none;
    const QString inner = name.chopped(3);
    const qsizetype dot = inner.lastIndexOf(u'.');
    const QString ext = dot > 0 ? inner.mid(dot + 1).toLower() : QString();
    const QByteArray folder = path.left(path.lastIndexOf('/'));
    const QByteArray folderName = folder.mid(folder.lastIndexOf('/') + 1);
    if ((!ext.isEmpty() && ext.front().isDigit()) || (folderName.startsWith("man") && folderName.size() > 3))
        return Inside::manual;
    switch (TextFamilies::of(ext)) {
    case TextFamily::html:
        return Inside::html;
    case TextFamily::none:
    case TextFamily::plain:
        // "README.gz", "changelog.Debian.gz": text unless its bytes say otherwise.
        return Inside::plain;
    default:
        return Inside::none; // documents and pictures have readers of their own
    }
}

// At most `limit` bytes of the inflated file; none when it is not sound gzip.
std::optional<QByteArray> inflated(const QByteArray &path, qint64 limit)
{
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    z_stream z{};
    if (inflateInit2(&z, 15 + 32) != Z_OK) // a gzip or zlib header, told apart by the data
        return std::nullopt;
    QByteArray out(qsizetype(std::min<qint64>(limit, 1 << 16)), Qt::Uninitialized);
    qint64 produced = 0;
    char input[1 << 16];
    bool sound = true;
    bool ended = false;
    while (sound && produced < limit) {
        const qint64 got = file.read(input, sizeof input);
        if (got < 0) {
            sound = false;
            break;
        }
        if (got == 0)
            break;
        z.next_in = reinterpret_cast<Bytef *>(input);
        z.avail_in = uInt(got);
        while (z.avail_in > 0 && produced < limit) {
            if (ended) {
                // Several gzip members one after another make one file.
                if (inflateReset(&z) != Z_OK) {
                    sound = false;
                    break;
                }
                ended = false;
            }
            if (out.size() - produced < (1 << 15))
                out.resize(qsizetype(std::min<qint64>(limit, out.size() * 2 + (1 << 16))));
            z.next_out = reinterpret_cast<Bytef *>(out.data() + produced);
            z.avail_out = uInt(std::min<qint64>(out.size() - produced, limit - produced));
            const uInt room = z.avail_out;
            const int rc = inflate(&z, Z_NO_FLUSH);
            produced += room - z.avail_out;
            if (rc == Z_STREAM_END)
                ended = true;
            else if (rc != Z_OK && rc != Z_BUF_ERROR) {
                sound = false;
                break;
            }
            if (rc == Z_BUF_ERROR && z.avail_out > 0)
                break; // wants more input
        }
    }
    inflateEnd(&z);
    // A file cut short in the middle of its data still gave what came before.
    if (!sound && produced == 0)
        return std::nullopt;
    out.truncate(qsizetype(produced));
    return out;
}

QString decodeText(const QByteArray &bytes, bool mayBeCut)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError() && !mayBeCut)
        text = QString::fromLatin1(bytes);
    return text;
}

// Requests that only lay out the page, and the mdoc words that name the
// macros called within a line: neither is text a reader sees.
const QSet<QString> &layoutRequests()
{
    static const QSet<QString> s = {
        QStringLiteral("br"), QStringLiteral("sp"), QStringLiteral("nf"), QStringLiteral("fi"), QStringLiteral("in"),
        QStringLiteral("ti"), QStringLiteral("ft"), QStringLiteral("ps"), QStringLiteral("ne"), QStringLiteral("na"),
        QStringLiteral("ad"), QStringLiteral("hy"), QStringLiteral("nh"), QStringLiteral("ll"), QStringLiteral("ta"),
        QStringLiteral("de"), QStringLiteral("ds"), QStringLiteral("nr"), QStringLiteral("rr"), QStringLiteral("so"),
        QStringLiteral("if"), QStringLiteral("ie"), QStringLiteral("el"), QStringLiteral("ig"), QStringLiteral("tr"),
        QStringLiteral("cc"), QStringLiteral("ec"), QStringLiteral("eo"), QStringLiteral("ev"), QStringLiteral("mk"),
        QStringLiteral("rt"), QStringLiteral("bp"), QStringLiteral("pl"), QStringLiteral("ch"), QStringLiteral("wh"),
        QStringLiteral("TH"), QStringLiteral("PP"), QStringLiteral("LP"), QStringLiteral("P"), QStringLiteral("HP"),
        QStringLiteral("RS"), QStringLiteral("RE"), QStringLiteral("PD"), QStringLiteral("UC"), QStringLiteral("EX"),
        QStringLiteral("EE"), QStringLiteral("Dd"), QStringLiteral("Dt"), QStringLiteral("Os"), QStringLiteral("Bl"),
        QStringLiteral("El"), QStringLiteral("Bd"), QStringLiteral("Ed"), QStringLiteral("Pp"), QStringLiteral("Lp"),
        QStringLiteral("TS"), QStringLiteral("TE"), QStringLiteral("T&"), QStringLiteral("ns"), QStringLiteral("rs"),
    };
    return s;
}

const QSet<QString> &mdocCallables()
{
    static const QSet<QString> s = {
        QStringLiteral("Fl"), QStringLiteral("Ar"), QStringLiteral("Op"), QStringLiteral("Oo"), QStringLiteral("Oc"),
        QStringLiteral("Pa"), QStringLiteral("Xr"), QStringLiteral("Nm"), QStringLiteral("Cm"), QStringLiteral("Ic"),
        QStringLiteral("Li"), QStringLiteral("Ql"), QStringLiteral("Dq"), QStringLiteral("Sq"), QStringLiteral("Pq"),
        QStringLiteral("Em"), QStringLiteral("Sy"), QStringLiteral("Va"), QStringLiteral("Ev"), QStringLiteral("Fn"),
        QStringLiteral("Fa"), QStringLiteral("Ft"), QStringLiteral("Dv"), QStringLiteral("Er"), QStringLiteral("Ns"),
        QStringLiteral("No"), QStringLiteral("Aq"), QStringLiteral("Bq"), QStringLiteral("Brq"),
    };
    return s;
}

QString specialCharacter(const QString &name)
{
    static const QHash<QString, QString> map = {
        {QStringLiteral("em"), QStringLiteral("\u2014")}, {QStringLiteral("en"), QStringLiteral("\u2013")},
        {QStringLiteral("hy"), QStringLiteral("-")},      {QStringLiteral("bu"), QStringLiteral("\u2022")},
        {QStringLiteral("aq"), QStringLiteral("'")},      {QStringLiteral("dq"), QStringLiteral("\"")},
        {QStringLiteral("lq"), QStringLiteral("\u201c")}, {QStringLiteral("rq"), QStringLiteral("\u201d")},
        {QStringLiteral("oq"), QStringLiteral("\u2018")}, {QStringLiteral("cq"), QStringLiteral("\u2019")},
        {QStringLiteral("co"), QStringLiteral("\u00a9")}, {QStringLiteral("rg"), QStringLiteral("\u00ae")},
        {QStringLiteral("tm"), QStringLiteral("\u2122")}, {QStringLiteral("mi"), QStringLiteral("-")},
        {QStringLiteral("ti"), QStringLiteral("~")},      {QStringLiteral("ha"), QStringLiteral("^")},
        {QStringLiteral("R"), QStringLiteral("\u00ae")},  {QStringLiteral("Tm"), QStringLiteral("\u2122")},
    };
    return map.value(name);
}

// One line of roff text with its escapes resolved: fonts and sizes dropped,
// special characters written out, the rest of a comment gone.
QString unescaped(QStringView line)
{
    QString out;
    out.reserve(line.size());
    const qsizetype n = line.size();
    // The name after \( (two characters), \[ (up to ]) or one character.
    auto nameAt = [&](qsizetype &i) {
        if (i >= n)
            return QString();
        if (line[i] == u'(') {
            const QString name = line.mid(i + 1, 2).toString();
            i += 3;
            return name;
        }
        if (line[i] == u'[') {
            const qsizetype close = line.indexOf(u']', i);
            const qsizetype end = close < 0 ? n : close;
            const QString name = line.mid(i + 1, end - i - 1).toString();
            i = end + 1;
            return name;
        }
        return QString(line[i++]);
    };
    for (qsizetype i = 0; i < n;) {
        const QChar c = line[i];
        if (c != u'\\') {
            out += c;
            ++i;
            continue;
        }
        if (++i >= n)
            break;
        const QChar e = line[i++];
        switch (e.unicode()) {
        case u'"':
        case u'#':
            return out; // a comment to the end of the line
        case u'f':
        case u'F':
        case u'*':
        case u'n':
        case u'g':
        case u'k':
        case u'm':
        case u'M': {
            const QString name = nameAt(i);
            if (e == u'*')
                out += specialCharacter(name);
            break;
        }
        case u's':
            if (i < n && (line[i] == u'+' || line[i] == u'-'))
                ++i;
            while (i < n && line[i].isDigit())
                ++i;
            break;
        case u'(':
        case u'[': {
            --i;
            out += specialCharacter(nameAt(i));
            break;
        }
        case u'e':
        case u'\\':
            out += u'\\';
            break;
        case u'-':
            out += u'-';
            break;
        case u' ':
        case u'~':
        case u'0':
            out += u' ';
            break;
        case u'&':
        case u'%':
        case u'c':
        case u'|':
        case u'^':
        case u'/':
        case u',':
        case u':':
        case u')':
            break;
        default:
            out += e;
        }
    }
    return out;
}

void manualText(const QByteArray &bytes, TextSink &sink)
{
    const QString text = decodeText(bytes, true);
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (sink.isFull())
            return;
        if (line.startsWith(u'.') || line.startsWith(u'\'')) {
            const QStringView body = line.mid(1).trimmed();
            const qsizetype space = body.indexOf(u' ');
            const QString request = (space < 0 ? body : body.left(space)).toString();
            if (request.isEmpty() || request.startsWith(u'\\') || layoutRequests().contains(request))
                continue;
            // Text-bearing macros (.SH, .B, .IR, .TP, .Nd, …): their words, unquoted.
            QString words;
            for (const QString &word : unescaped(space < 0 ? QStringView() : body.mid(space + 1)).split(u' ', Qt::SkipEmptyParts)) {
                if (mdocCallables().contains(word))
                    continue;
                if (!words.isEmpty())
                    words += u' ';
                words += word;
            }
            words.remove(u'"');
            sink.append(words);
            sink.breakLine();
            continue;
        }
        sink.append(unescaped(line));
        sink.breakLine();
    }
}

} // namespace

bool GzipExtractor::read(const QByteArray &path, qint64 maxTextBytes, qint64 maxMarkupBytes, TextSink &sink)
{
    const Inside inside = insideOf(path);
    if (inside == Inside::none)
        return true;
    const qint64 limit = inside == Inside::plain ? maxTextBytes : maxMarkupBytes;
    const std::optional<QByteArray> bytes = inflated(path, limit);
    if (!bytes)
        return false;
    // NUL bytes early on: a binary file behind a text name.
    if (bytes->left(8192).contains('\0'))
        return true;
    switch (inside) {
    case Inside::plain:
        sink.append(decodeText(*bytes, bytes->size() >= limit));
        break;
    case Inside::html:
        MarkupText::html(*bytes, sink);
        break;
    case Inside::manual:
        manualText(*bytes, sink);
        break;
    case Inside::none:
        break;
    }
    return true;
}
