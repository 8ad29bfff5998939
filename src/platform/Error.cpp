#include "Error.h"

#include <utility>

namespace platform {

Error::Error(int number, QString description) : number(number), description(std::move(description))
{
}

Error::Error(int number) : number(number), description(standardDescription(number)) {}

QString Error::standardDescription(int number)
{
    switch (number) {
    case InvalidCall:
        return QStringLiteral("Invalid procedure call or argument.");
    case Overflow:
        return QStringLiteral("The value is too large to be held.");
    case OutOfMemory:
        return QStringLiteral("There is not enough memory for this operation.");
    case UserInterrupt:
        return QStringLiteral("The user went on to something else.");
    case FileNotFound:
        return QStringLiteral("The file was not found.");
    case DeviceUnavailable:
        return QStringLiteral("The volume is not available.");
    case PathFileAccess:
        return QStringLiteral("The path or file could not be accessed.");
    case PathNotFound:
        return QStringLiteral("The folder was not found.");
    case InvalidPicture:
        return QStringLiteral("Invalid picture.");
    default:
        return QStringLiteral("Error %1.").arg(number);
    }
}

} // namespace platform
