#include "textsink.h"

TextSink::TextSink(qsizetype maxUtf8Bytes) : m_max(maxUtf8Bytes) {}

void TextSink::put(QChar c, int bytes)
{
    if (m_bytes + bytes > m_max) {
        m_full = true;
        return;
    }
    m_text.append(c);
    m_bytes += bytes;
}

bool TextSink::append(QStringView text)
{
    for (qsizetype i = 0; i < text.size() && !m_full; ++i) {
        const QChar c = text[i];
        if (c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            m_pendingBreak = true;
            continue;
        }
        if (c.isSpace() || c == QChar::Null || (c.unicode() < 0x20)) {
            m_pendingSpace = true;
            continue;
        }
        if (!m_text.isEmpty()) {
            if (m_pendingBreak)
                put(u'\n', 1);
            else if (m_pendingSpace)
                put(u' ', 1);
        }
        m_pendingBreak = m_pendingSpace = false;
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            if (m_bytes + 4 > m_max) {
                m_full = true;
                break;
            }
            m_text.append(c);
            m_text.append(text[++i]);
            m_bytes += 4;
            continue;
        }
        if (c.isSurrogate())
            continue; // a lone half of a pair is not text
        put(c, c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 ? 2 : 3);
    }
    return !m_full;
}

void TextSink::breakLine()
{
    m_pendingBreak = true;
}

QString TextSink::take()
{
    m_pendingBreak = m_pendingSpace = false;
    return std::exchange(m_text, QString());
}
