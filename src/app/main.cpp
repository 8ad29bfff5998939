#include "AppState.h"
#include "browsesmall.h"
#include "platform/Desktop.h"
#include "SettingsStore.h"

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
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
