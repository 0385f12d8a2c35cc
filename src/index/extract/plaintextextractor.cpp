#include "plaintextextractor.h"

#include "markuptext.h"
#include "textsink.h"

#include "noatime.h"

#include <QFile>
#include <QStringDecoder>

bool PlainTextExtractor::read(const QByteArray &path, bool isHtml, qint64 maxBytes, TextSink &sink)
{
    QFile file;
    if (!NoAtime::openForReading(file, path))
        return false;
    const QByteArray bytes = file.read(maxBytes);
    // NUL bytes early on mean a binary file under a text name (or UTF-16, which nobody names .txt here).
    if (bytes.left(8192).contains('\0'))
        return true;
    if (isHtml) {
        MarkupText::html(bytes, sink);
        return true;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    // A cut through a multi-byte character at the read limit is not an encoding error.
    if (utf8.hasError() && bytes.size() < maxBytes)
        text = QString::fromLatin1(bytes);
    sink.append(text);
    return true;
}
