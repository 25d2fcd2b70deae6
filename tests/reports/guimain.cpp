#include <gtest/gtest.h>
#include <QGuiApplication>

// Painting and font metrics need a GUI application (offscreen in the tests).
int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
