#pragma once

#include <QString>

// Gathers the text read from one file, up to a size in UTF-8 bytes: runs of
// white space fold into one space, line breaks survive as one newline, and
// everything past the limit is dropped, so a reader can stop early.
class TextSink final
{
public:
    explicit TextSink(qsizetype maxUtf8Bytes);

    // False once the sink is full: the caller may stop reading.
    bool append(QStringView text);
    void breakLine();
    bool isFull() const { return m_full; }
    QString take();

private:
    void put(QChar c, int bytes);

    QString m_text;
    qsizetype m_bytes = 0;
    qsizetype m_max;
    bool m_full = false;
    bool m_pendingSpace = false;
    bool m_pendingBreak = false;
};
