#include <QCoreApplication>
#include <gtest/gtest.h>

// The update check handles the application's events while it waits, so the
// tests run inside an application object.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
