// The preview panel as a screen reader reads it.
#include "access/accessibility.h"
#include "files/previewpanel.h"

#include "tempdir.h"

#include <QAccessible>
#include <QAccessibleImageInterface>
#include <QFile>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

TEST(PreviewAccess, NamedWithTheFileShownAndItsContentAsAChild)
{
    Accessibility::install();
    TempTree tree;
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    const QByteArray photo = tree.path("beach.png");
    ASSERT_TRUE(image.save(QFile::decodeName(photo)));
    const QByteArray notes = tree.file("notes.txt", "milk\neggs\n");
    const QByteArray data = tree.file("archive.zip", QByteArray(2048, 'z'));

    PreviewPanel panel;
    panel.resize(760, 620);
    panel.setPaths({photo, notes, data});
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(&panel);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);

    struct Case
    {
        int index;
        const char *name; // the panel's name up to the date
        QAccessible::Role role;
        const char *content;
    };
    const QList<Case> cases = {
        {0, "beach.png, PNG, ", QAccessible::Graphic, "Picture of beach.png"},
        {1, "notes.txt, TXT, 10 bytes, Modified ", QAccessible::StaticText, "milk\neggs\n"},
        {2, "archive.zip, ZIP, 2 KB, Modified ", QAccessible::StaticText, "archive.zip, ZIP, 2 KB, Modified "},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        panel.setCurrentIndex(c.index);
        ASSERT_TRUE(waitUntil([&] { return panel.isLoaded(); }));
        const QString name = window->text(QAccessible::Name);
        EXPECT_TRUE(name.startsWith(QString::fromUtf8(c.name))) << name.toStdString();
        EXPECT_EQ(window->text(QAccessible::Description), QStringLiteral("%1 of 3").arg(c.index + 1));
        ASSERT_EQ(window->childCount(), 1);
        QAccessibleInterface *content = window->child(0);
        ASSERT_NE(content, nullptr);
        EXPECT_EQ(content->role(), c.role);
        EXPECT_TRUE(content->text(QAccessible::Name).startsWith(QString::fromUtf8(c.content)))
            << content->text(QAccessible::Name).toStdString();
        EXPECT_EQ(window->indexOfChild(content), 0);
        EXPECT_EQ(content->parent(), window);
        auto *picture = static_cast<QAccessibleImageInterface *>(content->interface_cast(QAccessible::ImageInterface));
        EXPECT_EQ(picture != nullptr, c.role == QAccessible::Graphic);
        if (picture) {
            EXPECT_EQ(picture->imageSize(), QSize(300, 200));
        }
    }
}
