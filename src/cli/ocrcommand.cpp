#include "commands.h"

#include "analysis/ocrindex.h"
#include "model/fileuri.h"
#include "pathargument.h"
#include "recordjson.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Why a file cannot be read, or an empty string when it can be tried. By
// the raw bytes, as a URI may name a file whose name is not UTF-8.
QString obstacle(const QByteArray &file)
{
    struct stat st;
    if (::stat(file.constData(), &st) != 0)
        return QStringLiteral("no such file");
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("is a folder");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("not a regular file");
    const int fd = ::open(file.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return {};
}

} // namespace

int runOcr(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Read images for their text and subjects; one JSON line per image. "
                       "The text-in-images store is neither read nor written."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Images to read."),
                                 QStringLiteral("FILE…"));
    parser.addHelpOption();
    if (!parser.parse(arguments))
        return complain(QStringLiteral("tovalo-cli: %1").arg(parser.errorText()));
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return complain(QStringLiteral("tovalo-cli: ocr needs at least one FILE"));

    int failures = 0;
    for (const QString &given : files) {
        OCRIndex::Look seen{{}, {}, false};
        QString why;
        const QByteArray raw = pathArgument(given, &why).value_or(QByteArray());
        const QString file = raw.isEmpty() ? given : QFile::decodeName(raw);
        if (why.isEmpty())
            why = obstacle(raw);
        if (why.isEmpty()) {
            seen = OCRIndex::look(raw, true);
            if (!seen.analysed)
                std::fprintf(stderr, "tovalo-cli: cannot read %s: pictures cannot be read without the "
                                     "image-analysis plug-in\n", qPrintable(file));
            else if (!seen.readable)
                std::fprintf(stderr, "tovalo-cli: not an image it can read: %s\n", qPrintable(file));
        } else {
            std::fprintf(stderr, "tovalo-cli: cannot read %s: %s\n", qPrintable(file), qPrintable(why));
        }
        if (!seen.readable)
            ++failures;
        writeOut(jsonLine(QJsonObject{{QStringLiteral("path"), file},
                                      {QStringLiteral("uri"), raw.isEmpty() ? QJsonValue(QJsonValue::Null)
                                                                      : QJsonValue(QString::fromLatin1(FileUri::fromPath(absolutePath(raw))))},
                                      {QStringLiteral("text"), seen.text},
                                      {QStringLiteral("labels"), QJsonArray::fromStringList(seen.subjects)}}));
        std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}
