#include "files/thumbmaker.h"
#include "tempdir.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>

// PDF pages come from the previews plug-in, opened on first use: the page
// is drawn, and a file that is not a PDF gives nothing.
TEST(ThumbMaker, RendersAPdfsFirstPageThroughThePreviewsPlugin)
{
    TempTree tree;
    const QString pdf = QFile::decodeName(tree.path("page.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        QPainter p(&writer);
        const QRect page = p.viewport();
        p.fillRect(QRect(page.topLeft(), QSize(page.width(), page.height() / 2)), Qt::black);
    }
    const QImage out = ThumbMaker::pdfPage(pdf, 128);
    ASSERT_FALSE(out.isNull());
    EXPECT_EQ(std::max(out.width(), out.height()), 128);
    EXPECT_LT(qGray(out.pixel(out.width() / 2, out.height() / 4)), 64);
    EXPECT_GT(qGray(out.pixel(out.width() / 2, out.height() * 3 / 4)), 192);

    EXPECT_TRUE(ThumbMaker::pdfPage(QFile::decodeName(tree.file("not.pdf", "plain words")), 128).isNull());
    EXPECT_TRUE(ThumbMaker::videoFrame(QFile::decodeName(tree.file("not.mp4", "plain words")), 128).isNull());
}
