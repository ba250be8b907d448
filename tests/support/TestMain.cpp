#include <QApplication>

#include <gtest/gtest.h>

// Tests run with a real application object so that widgets and painting work
// (off screen: QT_QPA_PLATFORM=offscreen is set by ctest).
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
