#include "ErrorReport.h"

#include <QApplication>

namespace platform {

Answer reportError(Desktop &desktop, const Error &error, const char *captionFormat, Icon icon,
                   Buttons buttons)
{
    if (error.number == Error::UserInterrupt)
        return Answer::Cancel;
    QList<QCursor> lifted;
    while (const QCursor *cursor = QApplication::overrideCursor()) {
        lifted.prepend(*cursor);
        QApplication::restoreOverrideCursor();
    }
    const Answer answer = desktop.msgBox(error.description, icon, buttons,
                                         QString::fromLatin1(captionFormat).arg(error.number));
    for (const QCursor &cursor : std::as_const(lifted))
        QApplication::setOverrideCursor(cursor);
    return answer;
}

void reportTooLarge(Desktop &desktop, Icon icon)
{
    desktop.msgBox(QStringLiteral("Sorry, the image you are trying to view is too large!"), icon,
                   Buttons::Ok, QStringLiteral("Imagrove Error"));
}

void reportDriveUnavailable(Desktop &desktop)
{
    desktop.msgBox(QStringLiteral("Drive unavailable"), Icon::Exclamation, Buttons::Ok,
                   QStringLiteral("Problem"));
}

} // namespace platform
