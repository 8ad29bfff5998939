#pragma once

#include <QString>

namespace platform {

// A failed operation: the old runtime's error number and a plain description.
// Handlers show both, so the numbers are part of what the user sees.
struct Error
{
    enum Number : int {
        InvalidCall = 5,
        Overflow = 6,
        OutOfMemory = 7,
        // The user went on to something else: nothing to report.
        UserInterrupt = 18,
        FileNotFound = 53,
        DeviceUnavailable = 68,
        PathFileAccess = 75,
        PathNotFound = 76,
        InvalidPropertyValue = 380,
        InvalidPicture = 481,
    };

    int number = 0;
    QString description;

    Error(int number, QString description);
    // The standard description for a number.
    explicit Error(int number);

    static QString standardDescription(int number);
};

} // namespace platform
