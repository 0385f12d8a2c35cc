#include <QCoreApplication>

#include <gtest/gtest.h>

#ifdef TOVALO_TEST_GUI
#include <QApplication>
#endif

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
#ifdef TOVALO_TEST_GUI
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
