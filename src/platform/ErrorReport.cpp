#include "ErrorReport.h"

#include <QApplication>

namespace platform {

Answer reportError(Desktop &desktop, const Error &error, const char *captionFormat, Icon icon,
                   Buttons buttons)
{
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

} // namespace platform
