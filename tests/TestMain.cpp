// Test entry point: a Qt application object exists for every test, so worker threads can
// post their synchronised exchanges and widgets can be created (offscreen platform).
#include <gtest/gtest.h>

#ifdef TESSALY_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
