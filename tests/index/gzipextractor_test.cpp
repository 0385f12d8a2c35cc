#include "gzipextractor.h"
#include "indexstore.h"
#include "textextractor.h"
#include "textfamily.h"

#include "tempdir.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <zlib.h>

namespace {

QByteArray gzipped(const QByteArray &bytes)
{
    QByteArray out(qsizetype(compressBound(uLong(bytes.size()))) + 64, Qt::Uninitialized);
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY); // a gzip header
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    z.avail_in = uInt(bytes.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.truncate(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

QString textOf(const QByteArray &path, bool *ok = nullptr)
{
    const ExtractResult r = TextExtractor::extract(path, TextFamilies::of(u"gz"), QStringLiteral("gz"));
    if (ok)
        *ok = r.ok;
    return r.text;
}

const char kManual[] = R"(.\" A comment the reader never sees
.TH FROBNICATE 1 "2024" "frob 1.0" "User Commands"
.SH NAME
frobnicate \- turn widgets \fBinside\fR out
.SH SYNOPSIS
.B frobnicate
[\fI\-\-verbose\fP] \fIfile\fR...
.PP
The \(lqquillwort\(rq option\(em\&really.
.nf
.in +4
keep\ this
.fi
.IP \(bu 2
Ca\-va
)";

} // namespace

TEST(GzipText, ManualPagesLoseTheirRequestsAndEscapes)
{
    TempTree t;
    const QByteArray page = t.file("share/man/man1/frobnicate.1.gz", gzipped(kManual));
    bool ok = false;
    const QString text = textOf(page, &ok);
    EXPECT_TRUE(ok);
    for (const char *kept : {"NAME", "frobnicate - turn widgets inside out", "SYNOPSIS", "--verbose", "file...",
                             "\u201cquillwort\u201d option\u2014really.", "keep this", "\u2022", "Ca-va"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(kept))) << kept << "\n" << text.toStdString();
    for (const char *gone : {"comment", "TH", ".SH", "\\f", "\\(", "User Commands", "+4", ".PP", ".nf"})
        EXPECT_FALSE(text.contains(QString::fromUtf8(gone))) << gone << "\n" << text.toStdString();
}

TEST(GzipText, WhatIsInsideDecidesTheReader)
{
    TempTree t;
    const struct
    {
        const char *name;
        QByteArray inside;
        const char *found; // empty: no text
    } cases[] = {
        {"doc/changelog.Debian.gz", "quillwort release notes", "quillwort release notes"},
        {"doc/README.gz", "quillwort readme", "quillwort readme"},
        {"doc/notes.txt.gz", "quillwort notes", "quillwort notes"},
        {"doc/page.html.gz", "<html><body><p>quillwort <b>page</b></p></body></html>", "quillwort page"},
        {"doc/archive.tar.gz", QByteArray("quillwort.txt\0\0\0\0000644\0", 22), ""},
        {"doc/scan.pdf.gz", "%PDF-1.4 quillwort", ""},
        {"doc/binary.txt.gz", QByteArray("quill\0wort", 10), ""},
        {"doc/latin.txt.gz", "caf\xe9 quillwort", "caf\u00e9 quillwort"},
    };
    for (const auto &c : cases) {
        bool ok = false;
        const QString text = textOf(t.file(c.name, gzipped(c.inside)), &ok);
        EXPECT_TRUE(ok) << c.name;
        EXPECT_EQ(text, QString::fromUtf8(c.found)) << c.name;
    }
    // Two gzip members one after the other are one file.
    const QByteArray joined = t.file("doc/two.txt.gz", gzipped("first part ") + gzipped("second part"));
    EXPECT_EQ(textOf(joined), QStringLiteral("first part second part"));
    // Not gzip at all: the reader failed.
    bool ok = true;
    EXPECT_TRUE(textOf(t.file("doc/fake.txt.gz", "plain bytes, no gzip"), &ok).isEmpty());
    EXPECT_FALSE(ok);
}

// A small file that inflates to 64 MiB costs no more than the index keeps.
TEST(GzipText, InflatesNoMoreThanTheTextLimit)
{
    TempTree t;
    QByteArray compressed;
    {
        const QByteArray block(1 << 20, 'a');
        QByteArray out(1 << 22, Qt::Uninitialized);
        z_stream z{};
        deflateInit2(&z, 1, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
        z.next_out = reinterpret_cast<Bytef *>(out.data());
        z.avail_out = uInt(out.size());
        for (int i = 0; i < 64; ++i) {
            z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(block.constData()));
            z.avail_in = uInt(block.size());
            deflate(&z, i == 63 ? Z_FINISH : Z_NO_FLUSH);
        }
        out.truncate(qsizetype(z.total_out));
        deflateEnd(&z);
        compressed = out;
    }
    ASSERT_LT(compressed.size(), 1 << 20);
    bool ok = false;
    const QString text = textOf(t.file("doc/bomb.txt.gz", compressed), &ok);
    EXPECT_TRUE(ok);
    EXPECT_LE(text.toUtf8().size(), IndexStore::kMaxTextBytes);
    EXPECT_GT(text.size(), 1000);
}
