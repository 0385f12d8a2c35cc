#include "rtfextractor.h"

#include "textsink.h"

#include "noatime.h"

#include <QFile>
#include <QStringDecoder>

#include <cctype>
#include <vector>

namespace {

bool isSkippedDestination(const QByteArray &word)
{
    static const char *const skipped[] = {"fonttbl", "colortbl", "stylesheet", "info",   "pict",
                                          "header",  "footer",   "object",     "themedata", "datastore",
                                          "latentstyles", "listtable", "listoverridetable", "rsidtbl",
                                          "generator", "xmlnstbl", "mmathPr", "filetbl", "revtbl"};
    for (const char *s : skipped)
        if (word == s)
            return true;
    return false;
}

struct Group
{
    bool skip = false;
    int unicodeSkip = 1;
};

} // namespace

bool RtfExtractor::read(const QByteArray &path, qint64 maxBytes, TextSink &sink)
{
    QFile file;
    if (!NoAtime::openForReading(file, path))
        return false;
    const QByteArray bytes = file.read(maxBytes);
    if (!bytes.startsWith("{\\rtf"))
        return false;
    parse(bytes, sink);
    return true;
}

void RtfExtractor::parse(const QByteArray &rtf, TextSink &sink)
{
    std::vector<Group> groups{Group{}};
    QByteArray eightBit; // \'hh bytes waiting to be decoded as one run
    QString out;
    auto flushBytes = [&] {
        if (eightBit.isEmpty())
            return;
        QStringDecoder cp1252("windows-1252");
        out += cp1252.isValid() ? cp1252(eightBit) : QString::fromLatin1(eightBit);
        eightBit.clear();
    };
    auto flushText = [&] {
        flushBytes();
        if (!out.isEmpty())
            sink.append(out);
        out.clear();
    };
    int pendingSkip = 0; // characters still to drop after a \uN
    const qsizetype n = rtf.size();
    for (qsizetype i = 0; i < n && !sink.isFull(); ++i) {
        const char c = rtf[i];
        Group &g = groups.back();
        if (c == '{') {
            groups.push_back(g);
            continue;
        }
        if (c == '}') {
            if (groups.size() > 1)
                groups.pop_back();
            continue;
        }
        if (c == '\\') {
            if (i + 1 >= n)
                break;
            const char next = rtf[i + 1];
            if (next == '\'' && i + 3 < n) {
                const int value = QByteArray(rtf.constData() + i + 2, 2).toInt(nullptr, 16);
                i += 3;
                if (pendingSkip > 0) {
                    --pendingSkip;
                    continue;
                }
                if (!g.skip)
                    eightBit.append(char(value));
                continue;
            }
            if (next == '*') {
                g.skip = true; // an optional destination this reader does not know
                ++i;
                continue;
            }
            if (!std::isalpha(static_cast<unsigned char>(next))) {
                ++i;
                if (!g.skip && (next == '\\' || next == '{' || next == '}')) {
                    flushBytes();
                    out += QLatin1Char(next);
                } else if (!g.skip && next == '~') {
                    out += u' ';
                }
                continue;
            }
            qsizetype j = i + 1;
            while (j < n && std::isalpha(static_cast<unsigned char>(rtf[j])))
                ++j;
            const QByteArray word = rtf.mid(i + 1, j - i - 1);
            qsizetype k = j;
            if (k < n && (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k])))) {
                ++k;
                while (k < n && std::isdigit(static_cast<unsigned char>(rtf[k])))
                    ++k;
            }
            const bool hasParam = k > j;
            const int param = hasParam ? rtf.mid(j, k - j).toInt() : 0;
            if (k < n && rtf[k] == ' ')
                ++k; // the delimiter space belongs to the control word
            i = k - 1;
            if (isSkippedDestination(word)) {
                g.skip = true;
            } else if (word == "uc") {
                g.unicodeSkip = param;
            } else if (word == "u" && hasParam) {
                if (!g.skip) {
                    flushBytes();
                    const char32_t code = char32_t(param < 0 ? param + 65536 : param);
                    out += QString::fromUcs4(&code, 1);
                }
                pendingSkip = g.unicodeSkip;
            } else if (!g.skip && (word == "par" || word == "line" || word == "sect" || word == "page" ||
                                   word == "row")) {
                flushText();
                sink.breakLine();
            } else if (!g.skip && (word == "tab" || word == "cell")) {
                flushBytes();
                out += u' ';
            }
            continue;
        }
        if (c == '\r' || c == '\n')
            continue;
        if (pendingSkip > 0) {
            --pendingSkip;
            continue;
        }
        if (!g.skip) {
            flushBytes();
            out += QLatin1Char(c);
            if (out.size() > 4096)
                flushText();
        }
    }
    flushText();
}
