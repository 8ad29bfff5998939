// Shell utilities on the Linux desktop.
#include "clsShell.h"
#include "AtomicFile.h"

#include "clsReg_n_FileAssoc.h"
#include "MimeApps.h"
#include "Seam.h"

#include <pwd.h>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QUrl>
#include <unistd.h>
#include <xcb/xcb.h>

namespace pantrel {

namespace {

// A path given with the old separators.
QString slashes(QString path)
{
    return path.replace(u'\\', u'/');
}

QString shortcutFile(const QString &folder, const QString &name)
{
    return folder + name + QStringLiteral(".desktop");
}

bool isProgram(const QFileInfo &info)
{
    if (!info.isFile() || !info.isExecutable())
        return false;
    // File systems without permissions mark every file executable.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    for (const char *program : {"application/x-executable", "application/x-sharedlib",
                                "application/x-pie-executable", "application/x-shellscript"}) {
        if (type.inherits(QLatin1String(program)))
            return true;
    }
    return false;
}

} // namespace

namespace shell {

QString programsFolder()
{
    return mimeapps::applicationFolders().constFirst() + u'/';
}

QByteArray desktopEntry(const QString &name, const QString &target, const QString &arguments)
{
    QString exec = isProgram(QFileInfo(target))
                       ? mimeapps::execArgument(target)
                       : QStringLiteral("xdg-open ") + mimeapps::execArgument(target);
    if (!arguments.isEmpty())
        exec += u' ' + arguments;
    exec.replace(u'%', QStringLiteral("%%"));
    QString text = QStringLiteral("[Desktop Entry]\nType=Application\n");
    text += QStringLiteral("Name=") + mimeapps::entryValue(name) + u'\n';
    text += QStringLiteral("Exec=") + mimeapps::entryValue(exec) + u'\n';
    const QString folder = QFileInfo(target).absolutePath();
    if (QFileInfo(folder).isDir())
        text += QStringLiteral("Path=") + mimeapps::entryValue(folder) + u'\n';
    return text.toUtf8();
}

bool writeAtomically(const QString &path, const QByteArray &contents, bool executable)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    return replaceFile(path, contents, executable);
}

} // namespace shell

namespace {

QString captionText()
{
    const QString name = QGuiApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("Shell") : name;
}

// "desc|pattern|desc|pattern" as the dialog's filters. A program filter
// ("*.exe") offers executable files of any name, as programs here have no
// ending.
QStringList nameFilters(const QString &filter, bool *programsOnly)
{
    QStringList parts = filter.split(u'|');
    while (!parts.isEmpty() && parts.constLast().isEmpty())
        parts.removeLast();
    QStringList filters;
    *programsOnly = !parts.isEmpty();
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        if (pattern.compare(QLatin1String("*.exe"), Qt::CaseInsensitive) == 0)
            pattern = QStringLiteral("*");
        else
            *programsOnly = false;
        filters << parts[i] + QStringLiteral(" (") + pattern.replace(u';', u' ') + u')';
    }
    return filters;
}

QString fileDialog(QWidget *owner, QString &filter, const QString &title, const QString &initDir,
                   bool save)
{
    if (!filter.endsWith(u'|'))
        filter += u'|';
    bool programsOnly = false;
    const QStringList filters = nameFilters(filter, &programsOnly);
    filter.replace(u'|', QChar(0));

    QFileDialog dialog(owner, title, slashes(initDir).trimmed());
    dialog.setObjectName(save ? QStringLiteral("SaveDialog") : QStringLiteral("OpenDialog"));
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (programsOnly) {
        // Only the program's own dialog can filter by permission.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDotAndDotDot);
    }
    if (seam().runModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst().trimmed();
}

// The window manager's list of windows, and the one titled so.
enum class CloseResult { NoWindow, Requested, Failed };

QByteArray propertyOf(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property,
                      xcb_atom_t type)
{
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, window, property, type, 0, 4096);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    if (!reply)
        return {};
    const QByteArray value(static_cast<const char *>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply));
    free(reply);
    return value;
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
}

CloseResult closeX11Window(const QString &title)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return CloseResult::NoWindow;
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    CloseResult result = CloseResult::NoWindow;
    if (!xcb_connection_has_error(connection)) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const xcb_atom_t clientList = atom(connection, "_NET_CLIENT_LIST");
        const xcb_atom_t wmName = atom(connection, "_NET_WM_NAME");
        const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
        const xcb_atom_t closeWindow = atom(connection, "_NET_CLOSE_WINDOW");
        const QByteArray list = propertyOf(connection, root, clientList, XCB_ATOM_WINDOW);
        const auto *windows = reinterpret_cast<const xcb_window_t *>(list.constData());
        for (qsizetype i = 0; i < list.size() / qsizetype(sizeof(xcb_window_t)); ++i) {
            QByteArray name = propertyOf(connection, windows[i], wmName, utf8);
            if (name.isEmpty())
                name = propertyOf(connection, windows[i], XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
            if (QString::fromUtf8(name) != title)
                continue;
            xcb_client_message_event_t event{};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = windows[i];
            event.type = closeWindow;
            event.data.data32[0] = XCB_CURRENT_TIME;
            event.data.data32[1] = 1; // from an ordinary program
            xcb_generic_error_t *error = xcb_request_check(
                connection, xcb_send_event_checked(connection, 0, root,
                                                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT |
                                                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                                                   reinterpret_cast<const char *>(&event)));
            result = error ? CloseResult::Failed : CloseResult::Requested;
            free(error);
            break;
        }
    }
    xcb_disconnect(connection);
    return result;
}

// What went wrong opening a document, as the old shell's result numbers;
// 32 and above is success.
int openDocument(const QString &file, const QString &folder)
{
    if (!folder.isEmpty() && !QFileInfo(slashes(folder)).isDir())
        return 3;
    const QString start = folder.isEmpty() ? QDir::currentPath() : slashes(folder);
    const QFileInfo info(QDir(start), slashes(file));
    // A web or mail address; a name with a colon that the folder holds is a file.
    const QUrl url(file, QUrl::StrictMode);
    static const QStringList addresses{QStringLiteral("http"), QStringLiteral("https"),
                                       QStringLiteral("ftp"), QStringLiteral("mailto")};
    if (url.isValid() && addresses.contains(url.scheme(), Qt::CaseInsensitive) && !info.exists())
        return seam().startProgram(QStringLiteral("xdg-open"), {file}, start) ? 42 : 31;
    if (file.isEmpty() || !info.exists())
        return info.dir().exists() ? 2 : 3;
    if (isProgram(info))
        return seam().startProgram(info.absoluteFilePath(), {}, start) ? 42 : 11;
    const QString type = QMimeDatabase().mimeTypeForFile(info).name();
    if (mimeapps::defaultFor(type).isEmpty())
        return 31;
    return seam().startProgram(QStringLiteral("xdg-open"), {info.absoluteFilePath()}, start) ? 42
                                                                                             : 31;
}

QString runFileMessage(int result)
{
    switch (result) {
    case 0:
        return QStringLiteral("The file could not be run due to insufficient system memory or a "
                              "corrupt program file");
    case 2:
        return QStringLiteral("File Not Found");
    case 3:
        return QStringLiteral("Invalid Path");
    case 5:
        return QStringLiteral("Sharing or protection error");
    case 6:
        return QStringLiteral("Separate data segments are required for each task ");
    case 8:
        return QStringLiteral("Insufficient memory to run the program");
    case 10:
        return QStringLiteral("Incorrect Windows version");
    case 11:
        return QStringLiteral("Invalid Program File");
    case 12:
        return QStringLiteral("Program file requires a different operating System ");
    case 13:
        return QStringLiteral("Program requires MS-DOS 4.0");
    case 14:
        return QStringLiteral("Unknown program file type");
    case 15:
        return QStringLiteral("Windows prgram does not support protected memory mode");
    case 16:
        return QStringLiteral(
            "Invalid use of data segments when loading a second instance of a program");
    case 19:
        return QStringLiteral("Attempt to run a compressed program file");
    case 20:
        return QStringLiteral("Invalid dynamic link library");
    case 21:
        return QStringLiteral("Program requires Windows 32-bit extensions");
    case 31:
        return QStringLiteral("No application found for this file");
    default:
        return {};
    }
}

} // namespace

QVariant clsShell::Folders(const QString &Title, QWidget *callingform)
{
    QFileDialog dialog(callingform, Title, QDir::homePath());
    dialog.setObjectName(QStringLiteral("Folders"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (seam().runModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString clsShell::GetWindowsDir()
{
    return QStringLiteral("/usr/bin");
}

QString clsShell::GetTmpPath()
{
    const QString folder = QDir::tempPath();
    if (!QFileInfo(folder).isDir())
        return {};
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString clsShell::UserName()
{
    const passwd *user = getpwuid(geteuid());
    return user ? QString::fromLocal8Bit(user->pw_name) : QString();
}

QVariant clsShell::CloseApp(const QString &AppName)
{
    // The program's own windows first: they are closed through its event loop.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowTitle() == AppName) {
            QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
            return {};
        }
    }
    if (closeX11Window(AppName) == CloseResult::Failed)
        seam().message(QStringLiteral("Error closing application."), captionText());
    return {};
}

void clsShell::FormStayOnTop(QWidget *frmForm, bool fOnTop)
{
    if (!frmForm)
        return;
    // Changing the flag re-creates the window: its place and size are kept.
    const QRect geometry = frmForm->geometry();
    const bool visible = frmForm->isVisible();
    frmForm->setWindowFlag(Qt::WindowStaysOnTopHint, fOnTop);
    frmForm->setGeometry(geometry);
    if (visible)
        frmForm->show();
}

bool clsShell::StartMenLnkCreate(const QString &MenuPath, const QString &Name,
                                 const QString &LinkPath, const QString &LineArgs)
{
    const QString file = shortcutFile(shell::programsFolder() + slashes(MenuPath), Name);
    shell::writeAtomically(file, shell::desktopEntry(Name, slashes(LinkPath), LineArgs));
    return QFileInfo(file).isFile();
}

bool clsShell::StartMenuLinkChk(const QString &Path, const QString &ShtCtName)
{
    return QFileInfo(shortcutFile(shell::programsFolder() + slashes(Path), ShtCtName)).isFile();
}

QVariant clsShell::StartMenuLnkDel(const QString &Path, const QString &ShtCtName)
{
    const QString file = shortcutFile(shell::programsFolder() + slashes(Path), ShtCtName);
    if (QFileInfo(file).isFile())
        QFile::remove(file);
    return {};
}

bool clsShell::StartMenuCreateFldr(const QString &Path)
{
    const QFileInfo folder(shell::programsFolder() + slashes(Path));
    if (folder.exists() && !folder.isDir())
        return false;
    QDir().mkpath(folder.filePath());
    return true;
}

void clsShell::StartMenuDelFldr(const QString &Path)
{
    QDir().rmdir(shell::programsFolder() + slashes(Path));
}

bool clsShell::QuickStart()
{
    return QFileInfo(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)).isDir();
}

bool clsShell::QuickStartShCut(const QString &Path, const QString &ShCutName)
{
    if (!QuickStart())
        return false;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) + u'/';
    // Desktops start only launchers that may be run.
    shell::writeAtomically(shortcutFile(folder, ShCutName),
                           shell::desktopEntry(ShCutName, slashes(Path), {}), true);
    return true;
}

QString clsShell::SaveDialog(QWidget *Form1, QString &Filter, const QString &Title,
                             const QString &InitDir)
{
    return fileDialog(Form1, Filter, Title, InitDir, true);
}

QString clsShell::OpenDialog(QWidget *Form1, QString &Filter, const QString &Title,
                             const QString &InitDir)
{
    return fileDialog(Form1, Filter, Title, InitDir, false);
}

void clsShell::RunFile(QString File, const QString &FilePath, const QVariant &RunStyle)
{
    Q_UNUSED(RunStyle); // the desktop decides how a program's window shows
    const QString text = runFileMessage(openDocument(File, FilePath));
    if (!text.isEmpty())
        seam().message(text, captionText());
}

QVariant clsShell::BMPonMenu(QWidget *cForm, const QPixmap &PicBoxUnchk, const QPixmap &PicBoxChkd,
                             std::int32_t MenuPos, std::int32_t MenuItem)
{
    const QMenuBar *bar = cForm ? cForm->findChild<QMenuBar *>() : nullptr;
    QAction *top = bar ? bar->actions().value(MenuPos) : nullptr;
    QAction *item = top && top->menu() ? top->menu()->actions().value(MenuItem) : nullptr;
    if (item) {
        QIcon icon;
        icon.addPixmap(PicBoxUnchk, QIcon::Normal, QIcon::Off);
        icon.addPixmap(PicBoxChkd, QIcon::Normal, QIcon::On);
        item->setIcon(icon);
    }
    return {};
}

void clsShell::SetDesktopImage(QString Path, const QString &Tile)
{
    auto *registry = new clsReg_n_FileAssoc;
    const QString key = QStringLiteral("Control Panel\\desktop");
    registry->savestring(HKEY_CURRENT_USER, key, QStringLiteral("TileWallpaper"), Tile);
    registry->savestring(HKEY_CURRENT_USER, key, QStringLiteral("Wallpaper"), Path);
    registry->Release();

    // The desktops whose own setting is known.
    const QString path = QFileInfo(slashes(Path)).absoluteFilePath();
    const QString uri = QUrl::fromLocalFile(path).toString();
    const bool tiled = Tile.trimmed() == QLatin1String("1");
    const QString style = tiled ? QStringLiteral("wallpaper") : QStringLiteral("centered");
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower().split(u':', Qt::SkipEmptyParts);
    const auto is = [&](std::initializer_list<const char *> names) {
        return std::any_of(names.begin(), names.end(), [&](const char *name) {
            return desktops.contains(QLatin1String(name));
        });
    };
    const auto gsettings = [](const QString &schema, const QString &key, const QString &value) {
        seam().startProgram(QStringLiteral("gsettings"),
                            {QStringLiteral("set"), schema, key, value}, QDir::homePath());
    };
    if (is({"gnome", "unity", "budgie", "pantheon", "ubuntu"})) {
        const QString schema = QStringLiteral("org.gnome.desktop.background");
        gsettings(schema, QStringLiteral("picture-uri"), uri);
        gsettings(schema, QStringLiteral("picture-uri-dark"), uri);
        gsettings(schema, QStringLiteral("picture-options"), style);
    } else if (is({"x-cinnamon", "cinnamon"})) {
        const QString schema = QStringLiteral("org.cinnamon.desktop.background");
        gsettings(schema, QStringLiteral("picture-uri"), uri);
        gsettings(schema, QStringLiteral("picture-options"), style);
    } else if (is({"mate"})) {
        const QString schema = QStringLiteral("org.mate.background");
        gsettings(schema, QStringLiteral("picture-filename"), path);
        gsettings(schema, QStringLiteral("picture-options"), style);
    } else if (is({"kde"})) {
        seam().startProgram(QStringLiteral("plasma-apply-wallpaperimage"), {path},
                            QDir::homePath());
    }
}

} // namespace pantrel
