#include <QCoreApplication>

#include <gtest/gtest.h>

#ifdef TOVALO_TEST_GUI
#include <QApplication>
#endif

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
#ifdef TOVALO_TEST_GUI
    // Headless unless told otherwise, as under ctest: listing the tests at
    // build time must not need a display either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
