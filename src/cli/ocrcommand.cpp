#include "commands.h"

#include "analysis/ocrindex.h"
#include "recordjson.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include <cstdio>

namespace {

// Why a file cannot be read, or an empty string when it can be tried.
QString obstacle(const QString &file)
{
    const QFileInfo info(file);
    if (!info.exists())
        return QStringLiteral("no such file");
    if (info.isDir())
        return QStringLiteral("is a folder");
    if (!info.isFile())
        return QStringLiteral("not a regular file");
    QFile probe(file);
    if (!probe.open(QIODevice::ReadOnly))
        return probe.errorString();
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
    for (const QString &file : files) {
        OCRIndex::Look seen{{}, {}, false};
        const QString why = obstacle(file);
        if (why.isEmpty()) {
            seen = OCRIndex::look(QFile::encodeName(file), true);
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
                                      {QStringLiteral("text"), seen.text},
                                      {QStringLiteral("labels"), QJsonArray::fromStringList(seen.subjects)}}));
        std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}
