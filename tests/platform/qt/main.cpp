// The Qt back-end tests run inside a QCoreApplication: sockets, timers and network replies need
// its event dispatcher on this thread.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
