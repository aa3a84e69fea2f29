#pragma once

#include <QApplication>
#include <QTest>

// Like QTEST_MAIN, but a window test started by hand runs headless too, as it does under CTest.
#define VOCABRIX_GUI_TEST_MAIN(TestClass)                                                                              \
    int main(int argc, char* argv[])                                                                                   \
    {                                                                                                                  \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                            \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                                   \
        QApplication application(argc, argv);                                                                          \
        QTEST_DISABLE_KEYPAD_NAVIGATION                                                                                \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
