// GoogleTest entry point that owns the Qt application object.
// Test discovery runs the binary outside CTest's environment, so the offscreen
// platform is chosen here too when nobody chose one.
#include <gtest/gtest.h>

#include <cstdlib>

#ifdef NIMBREL_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char **argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
