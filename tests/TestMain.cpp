// Test entry point: a Qt application object exists for every test, so worker threads can
// post their synchronised exchanges and widgets can be created (offscreen platform). Every
// operator file a test writes goes to a scratch folder, never into the user's own folders.
#include "core/DataFolders.h"

#include <QTemporaryDir>
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
    const QTemporaryDir data;
    DataFolders::SetRoot(data.path());
    return RUN_ALL_TESTS();
}
