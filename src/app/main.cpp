#include "browsesmall.h"
#include "core/AppState.h"
#include "core/SettingsStore.h"
#include "platform/Desktop.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Imagrove"));
    QApplication::setOrganizationName(QStringLiteral("Imagrove"));

    // The image path may come split by the shell when it holds spaces.
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();

    core::SettingsStore settings;
    core::AppState state;
    platform::QtDesktop desktop;
    browsesmall window(settings, state, desktop,
                       {QApplication::applicationDirPath(), arguments.join(u' ')});
    window.start();
    return QApplication::exec();
}
