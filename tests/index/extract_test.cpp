#include "extractclient.h"
#include "rtfextractor.h"
#include "tempdir.h"
#include "textextractor.h"
#include "textsink.h"

#include <gtest/gtest.h>

#include <zip.h>

#include <map>

namespace {

using Parts = std::map<std::string, std::string>;

// Writes a zip holding `parts` (name -> contents), the container of every office format and e-book.
QByteArray writeZip(TempTree &tree, const QByteArray &name, const Parts &parts)
{
    const QByteArray path = tree.path(name);
    int error = 0;
    zip_t *z = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    EXPECT_NE(z, nullptr);
    for (const auto &[entry, contents] : parts) {
        char *copy = static_cast<char *>(malloc(contents.size()));
        memcpy(copy, contents.data(), contents.size());
        zip_source_t *src = zip_source_buffer(z, copy, contents.size(), 1);
        zip_file_add(z, entry.c_str(), src, ZIP_FL_OVERWRITE);
    }
    EXPECT_EQ(zip_close(z), 0);
    return path;
}

QByteArray minimalPdf(const QByteArray &words)
{
    const QByteArray stream = "BT /F1 12 Tf 10 50 Td (" + words + ") Tj ET";
    return "%PDF-1.4\n1 0 obj <</Type/Catalog/Pages 2 0 R>> endobj\n"
           "2 0 obj <</Type/Pages/Kids[3 0 R]/Count 1>> endobj\n"
           "3 0 obj <</Type/Page/Parent 2 0 R/MediaBox[0 0 400 100]/Contents 4 0 R"
           "/Resources<</Font<</F1 5 0 R>>>>>> endobj\n"
           "4 0 obj <</Length " +
           QByteArray::number(stream.size()) + ">> stream\n" + stream +
           "\nendstream endobj\n"
           "5 0 obj <</Type/Font/Subtype/Type1/BaseFont/Helvetica>> endobj\n"
           "trailer <</Root 1 0 R>>\n%%EOF\n";
}

struct FormatCase
{
    const char *file;
    std::function<QByteArray(TempTree &, const char *)> write;
    const char *expected; // must appear in the text
    const char *absent;   // must not (markup, styles, scripts)
};

QByteArray plain(TempTree &t, const char *name, const QByteArray &contents)
{
    return t.file(name, contents);
}

const FormatCase kCases[] = {
    {"notes.txt", [](TempTree &t, const char *n) { return plain(t, n, "Grocery list:\nbutter, eggs"); },
     "Grocery list:\nbutter, eggs", nullptr},
    {"readme.md", [](TempTree &t, const char *n) { return plain(t, n, "# Título\nSome *markdown*"); },
     "# Título", nullptr},
    {"table.csv", [](TempTree &t, const char *n) { return plain(t, n, "name,amount\ninvoice,42"); },
     "invoice,42", nullptr},
    {"data.json", [](TempTree &t, const char *n) { return plain(t, n, "{\"customer\": \"Zoë\"}"); },
     "\"customer\": \"Zoë\"", nullptr},
    {"main.cpp", [](TempTree &t, const char *n) { return plain(t, n, "int quarterlyTotal() { return 1; }"); },
     "quarterlyTotal", nullptr},
    {"latin1.txt", [](TempTree &t, const char *n) { return plain(t, n, "caf\xe9 cr\xe8me"); }, "café crème",
     nullptr},
    {"page.html",
     [](TempTree &t, const char *n) {
         return plain(t, n,
                      "<html><head><style>p{color:red}</style><script>var hidden=1;</script></head>"
                      "<body><p>Fish &amp; <b>chips</b>&#33;</p><p>Second&nbsp;para</p></body></html>");
     },
     "Fish & chips!\nSecond para", "hidden"},
    {"letter.rtf",
     [](TempTree &t, const char *n) {
         return plain(t, n,
                      "{\\rtf1\\ansi{\\fonttbl{\\f0 Helvetica;}}{\\colortbl;\\red255\\green0\\blue0;}"
                      "\\f0 Dear caf\\'e9 owner,\\par Na\\u239?ve \\b bold\\b0  text}");
     },
     "Dear café owner,\nNaïve bold text", "Helvetica"},
    {"report.docx",
     [](TempTree &t, const char *n) {
         return writeZip(t, n,
                         {{"word/document.xml",
                           "<w:document xmlns:w=\"w\"><w:body><w:p><w:r><w:t>Annual </w:t></w:r><w:r><w:t>"
                           "report</w:t></w:r></w:p><w:p><w:r><w:t>Budget</w:t></w:r></w:p></w:body></w:document>"}});
     },
     "Annual report\nBudget", nullptr},
    {"sheet.xlsx",
     [](TempTree &t, const char *n) {
         return writeZip(t, n,
                         {{"xl/sharedStrings.xml", "<sst><si><t>Rent</t></si><si><t>Electricity</t></si></sst>"},
                          {"xl/worksheets/sheet1.xml", "<worksheet><c><v>98765</v></c></worksheet>"}});
     },
     "Rent\nElectricity", "98765"},
    {"deck.pptx",
     [](TempTree &t, const char *n) {
         return writeZip(t, n,
                         {{"ppt/slides/slide10.xml", "<p:sld><a:p><a:t>Tenth slide</a:t></a:p></p:sld>"},
                          {"ppt/slides/slide2.xml", "<p:sld><a:p><a:t>Second slide</a:t></a:p></p:sld>"}});
     },
     "Second slide\nTenth slide", nullptr},
    {"essay.odt",
     [](TempTree &t, const char *n) {
         return writeZip(t, n,
                         {{"content.xml", "<office:document-content><office:body><text:p>Open "
                                          "document<text:s/>text</text:p></office:body></office:document-content>"},
                          {"styles.xml", "<styles>StyleNoise</styles>"}});
     },
     "Open document text", "StyleNoise"},
    {"cells.ods",
     [](TempTree &t, const char *n) {
         return writeZip(t, n, {{"content.xml", "<c><table:table-cell><text:p>Mortgage</text:p></table:table-cell>"
                                                "<table:table-cell><text:p>Savings</text:p></table:table-cell></c>"}});
     },
     "Mortgage\nSavings", nullptr},
    {"talk.odp",
     [](TempTree &t, const char *n) {
         return writeZip(t, n, {{"content.xml", "<c><draw:page><text:p>Roadmap</text:p></draw:page></c>"}});
     },
     "Roadmap", nullptr},
    {"novel.epub",
     [](TempTree &t, const char *n) {
         return writeZip(
             t, n,
             {{"META-INF/container.xml",
               "<container><rootfiles><rootfile full-path=\"OEBPS/book.opf\"/></rootfiles></container>"},
              {"OEBPS/book.opf", "<package><manifest><item id=\"a\" href=\"ch%201.xhtml\"/><item id=\"b\" "
                                 "href=\"ch2.xhtml\"/></manifest><spine><itemref idref=\"b\"/><itemref "
                                 "idref=\"a\"/></spine></package>"},
              {"OEBPS/ch 1.xhtml", "<html><body><p>Chapter one</p></body></html>"},
              {"OEBPS/ch2.xhtml", "<html><body><p>Prologue</p></body></html>"}});
     },
     "Prologue\nChapter one", nullptr},
    {"scan.pdf", [](TempTree &t, const char *n) { return plain(t, n, minimalPdf("Quarterly invoice")); },
     "Quarterly invoice", nullptr},
};

class ExtractFormat : public ::testing::TestWithParam<FormatCase>
{
};

QString extOf(const char *file)
{
    return QString::fromUtf8(file).section(u'.', -1).toLower();
}

TEST_P(ExtractFormat, ReadsTheWordsAndNotTheMarkup)
{
    const FormatCase &c = GetParam();
    TempTree tree;
    const QByteArray path = c.write(tree, c.file);
    const QString ext = extOf(c.file);
    const TextFamily family = TextFamilies::of(ext);
    ExtractResult r;
    if (TextFamilies::isRisky(family)) {
        // The risky readers are meant to run in the helper: read them there, as the indexer does.
        ExtractClient client;
        const ExtractClient::Outcome out = client.extract(path, family, ext);
        ASSERT_EQ(out.status, ExtractClient::Status::ok);
        r = out.result;
    } else {
        r = TextExtractor::extract(path, family, ext);
    }
    ASSERT_TRUE(r.ok) << c.file;
    EXPECT_TRUE(r.text.contains(QString::fromUtf8(c.expected))) << c.file << ": " << r.text.toStdString();
    if (c.absent)
        EXPECT_FALSE(r.text.contains(QString::fromUtf8(c.absent))) << c.file << ": " << r.text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Formats, ExtractFormat, ::testing::ValuesIn(kCases),
                         [](const auto &info) {
                             return QString::fromUtf8(info.param.file).replace(u'.', u'_').toStdString();
                         });

TEST(Extract, TextStopsAtTheLimitOnACharacterBoundary)
{
    TempTree tree;
    // Three bytes per character: the limit falls inside one of them.
    QByteArray big;
    for (int i = 0; i < 400000; ++i)
        big += "€";
    const QByteArray path = tree.file("big.txt", big);
    const ExtractResult r = TextExtractor::extract(path, TextFamily::plain, QStringLiteral("txt"));
    ASSERT_TRUE(r.ok);
    EXPECT_LE(r.text.toUtf8().size(), 1 << 20);
    EXPECT_GT(r.text.toUtf8().size(), (1 << 20) - 3);
    EXPECT_FALSE(r.text.contains(QChar::ReplacementCharacter));
}

TEST(Extract, BinaryUnderATextNameGivesNoText)
{
    TempTree tree;
    const QByteArray path = tree.file("odd.txt", QByteArray("ab\0\0\x01\x02cd", 8));
    const ExtractResult r = TextExtractor::extract(path, TextFamily::plain, QStringLiteral("txt"));
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.text.isEmpty());
}

TEST(Extract, DamagedDocumentsAreReportedNotRead)
{
    TempTree tree;
    ExtractClient client;
    for (const char *name : {"broken.pdf", "broken.docx", "broken.epub"}) {
        const QByteArray path = tree.file(name, "this is not what the name says");
        const ExtractClient::Outcome out = client.extract(path, TextFamilies::of(extOf(name)), extOf(name));
        EXPECT_EQ(out.status, ExtractClient::Status::ok) << name;
        EXPECT_FALSE(out.result.ok) << name;
    }
    EXPECT_EQ(client.starts(), 1); // one helper served them all
}

TEST(Extract, AHelperThatCrashesOrHangsCostsOnlyThatFile)
{
    TempTree tree;
    const QByteArray pdf = tree.file("a.pdf", minimalPdf("fine"));
    struct Case
    {
        const char *script;
        int timeoutMs;
    } cases[] = {{"head -c 1 >/dev/null; kill -SEGV $$", 5000}, {"exec sleep 600", 300}};
    for (const Case &c : cases) {
        ExtractClient client({QStringLiteral("/bin/sh"), QStringLiteral("-c"), QString::fromUtf8(c.script)},
                             c.timeoutMs);
        EXPECT_EQ(client.extract(pdf, TextFamily::pdf, QStringLiteral("pdf")).status,
                  ExtractClient::Status::failed)
            << c.script;
        // The next file gets a fresh helper.
        EXPECT_EQ(client.extract(pdf, TextFamily::pdf, QStringLiteral("pdf")).status,
                  ExtractClient::Status::failed);
        EXPECT_EQ(client.starts(), 2) << c.script;
    }
}

TEST(Extract, NoHelperMeansUnavailableNotFailed)
{
    TempTree tree;
    const QByteArray pdf = tree.file("a.pdf", minimalPdf("fine"));
    ExtractClient client(QStringList{QStringLiteral("/nonexistent/tovalo-extract")});
    EXPECT_EQ(client.extract(pdf, TextFamily::pdf, QStringLiteral("pdf")).status,
              ExtractClient::Status::unavailable);
}

} // namespace
