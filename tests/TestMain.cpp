#include <QCoreApplication>

#include <gtest/gtest.h>

// The script engine needs an application object; tests run without a display.
int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
