#include "browsesmall.h"
#include "core/AppState.h"
#include "core/Paths.h"
#include "core/SettingsStore.h"
#include "platform/Desktop.h"
#include "platform/FileNames.h"
#include "platform/StartupTrace.h"

#include <QApplication>
#include <QFileInfo>

namespace {

// With no session bus in reach, the toolkit's accessibility bridge has
// libdbus launch one (dbus-launch) during start-up: a cost before the first
// paint, for a bus that no assistive program would be listening on.
void avoidSessionBusLaunch()
{
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus")))
        return;
    // An address that cannot exist: connecting fails at once.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/dev/null/no-session-bus");
}

} // namespace

int main(int argc, char *argv[])
{
    // The image named on the command line is decoded on a worker thread
    // while the toolkit starts: start-up and decoding overlap. Until the
    // application object exists, only what needs none of it runs there.
    core::SettingsStore settings;
    QStringList early;
    for (int i = 1; i < argc; ++i)
        early << platform::nameFromBytes(argv[i]);
    platform::PictureCache cache(platform::PictureDecoder({}, {}),
                                 platform::PictureCache::Start::BeforeToolkit);
    browsesmall::readAhead(cache, settings, core::commandLineOf(early));

    avoidSessionBusLaunch();
    QApplication app(argc, argv);
    cache.toolkitReady();
    QApplication::setApplicationName(QStringLiteral("Imagrove"));
    QApplication::setOrganizationName(QStringLiteral("Imagrove"));

    // The toolkit has taken its own options out of argv; a name keeps its bytes.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << platform::nameFromBytes(argv[i]);

    core::AppState state;
    platform::QtDesktop desktop;
    browsesmall window(
        settings, state, desktop,
        {QApplication::applicationDirPath(), core::commandLineOf(arguments), &cache});
    // The first image, not the tips' placeholder picture.
    QObject::connect(
        &window, &browsesmall::imageShown, &window,
        [&window] { platform::traceFirstPicture(window.Image1); }, Qt::SingleShotConnection);
    window.start();
    // A full-screen launch may have ended the program already.
    if (window.ended())
        return 0;
    return QApplication::exec();
}
