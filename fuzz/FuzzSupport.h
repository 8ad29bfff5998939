#pragma once

// What every target needs: a Qt application object, made once.
#include <QCoreApplication>

inline void fuzzApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}
