#include "platform/metafile/Confinement.h"
#include "platform/metafile/MetafileGeometry.h"
#include "platform/metafile/SvgSafety.h"
#include "TestEnvironment.h"

#include <cstdio>
#include <fcntl.h>
#include <linux/io_uring.h>
#include <QFile>
#include <sched.h>
#include <sys/mount.h>
#include <sys/ptrace.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QTest>

namespace {

// The records of a WMF: a standard header, then (function, parameters) pairs.
constexpr int WindowExtFunction = 0x020C;

class WmfWriter
{
public:
    explicit WmfWriter(bool placeable = false)
    {
        if (placeable) {
            word32(0x9AC6CDD7u);
            for (int v : {0, -100, -50, 300, 250, 1440, 0, 0, 0})
                word(v);
        }
        for (int v : {1, 9, 0x0300, 0, 0, 0, 0, 0, 0})
            word(v);
    }
    WmfWriter &record(int function, std::initializer_list<int> params)
    {
        word32(3 + quint32(params.size()));
        word(function);
        for (int p : params)
            word(p);
        return *this;
    }
    // A record that says it is longer than what follows.
    void truncatedRecord() { word32(1000), word(WindowExtFunction); }
    const QByteArray &bytes() const { return m_bytes; }
    metafile::WmfFrame frame() const
    {
        return metafile::wmfFrame(reinterpret_cast<const unsigned char *>(m_bytes.constData()),
                                  size_t(m_bytes.size()));
    }

private:
    void word(int v)
    {
        m_bytes.append(char(v & 0xFF));
        m_bytes.append(char((v >> 8) & 0xFF));
    }
    void word32(quint32 v)
    {
        word(int(v & 0xFFFF));
        word(int(v >> 16));
    }
    QByteArray m_bytes;
};

enum Function {
    MapMode = 0x0103,
    WindowOrg = 0x020B,
    WindowExt = 0x020C,
    ViewportExt = 0x020E,
    LineTo = 0x0213
};

} // namespace

class tst_metafile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aConfinedHelperReachesNothingOfTheUsers()
    {
        TestEnvironment env;
        const QByteArray secret = QFile::encodeName(env.makeFile(QStringLiteral("secret"), 10));
        // In a child: confinement cannot be undone. Bits: 1 the user's file
        // opened, 2 a socket made (also through io_uring), 4 a system file
        // not read, 8 a way out of the new root (a second chroot, the root
        // written), 16 a namespace, a mount or a trace, 32 a program
        // started; 64 not narrowed.
        const pid_t child = ::fork();
        if (child == 0) {
            const bool narrowed = metafile::confine(true);
            int result = narrowed ? 0 : 64;
            const int user = ::open(secret.constData(), O_RDONLY);
            if (user >= 0 && narrowed)
                result |= 1;
            if (::socket(AF_INET, SOCK_STREAM, 0) >= 0 || ::socket(AF_UNIX, SOCK_STREAM, 0) >= 0)
                result |= 2;
            io_uring_params params = {};
            if (::syscall(__NR_io_uring_setup, 4, &params) >= 0)
                result |= 2;
            if (::open("/etc/passwd", O_RDONLY) < 0)
                result |= 4;
            if (::chroot("/usr") == 0 || ::mkdir("/escape", 0700) == 0)
                result |= 8;
            if (::unshare(CLONE_NEWUSER) == 0 || ::unshare(CLONE_NEWNS) == 0 ||
                ::mount("none", "/usr", "tmpfs", 0, nullptr) == 0 ||
                ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) == 0)
                result |= 16;
            const pid_t another = ::fork();
            if (another == 0)
                ::_exit(0);
            if (another > 0)
                result |= 32;
            // Last: a program that starts ends the child with all the bits.
            char exit[32];
            std::snprintf(exit, sizeof exit, "exit %d", result | 32);
            char *const argv[] = {const_cast<char *>("sh"), const_cast<char *>("-c"), exit,
                                  nullptr};
            ::execv("/bin/sh", argv);
            ::_exit(result);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status) & 63, 0);
        if (WEXITSTATUS(status) & 64)
            QSKIP("this system gives no user namespaces: only sockets were refused");
    }

    // An SVG draws only what it holds: every way out of the file is cut.
    void svgKeepsOnlyWhatItHolds_data()
    {
        QTest::addColumn<QByteArray>("element");
        QTest::addColumn<bool>("kept");
        QTest::newRow("a system file") << QByteArray("<image href='/etc/passwd'/>") << false;
        QTest::newRow("file: address")
            << QByteArray("<image xlink:href='file:///usr/share/a.png'/>") << false;
        QTest::newRow("relative path") << QByteArray("<image href='../a.png'/>") << false;
        QTest::newRow("web address")
            << QByteArray("<image href='http://127.0.0.1/a.png'/>") << false;
        QTest::newRow("carried svg")
            << QByteArray("<image href='data:image/svg+xml;base64,PHN2Zy8+'/>") << false;
        QTest::newRow("other file's part") << QByteArray("<use href='other.svg#a'/>") << false;
        QTest::newRow("carried png")
            << QByteArray("<image href='data:image/png;base64,iVBO'/>") << true;
        QTest::newRow("own part") << QByteArray("<use xlink:href='#a'/>") << true;
    }
    void svgKeepsOnlyWhatItHolds()
    {
        QFETCH(QByteArray, element);
        QFETCH(bool, kept);
        const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' "
                               "xmlns:xlink='http://www.w3.org/1999/xlink'><rect id='a'/>" +
                               element + "</svg>";
        const QByteArray safe = metafile::selfContainedSvg(svg);
        QVERIFY(safe.contains("<rect id=\"a\"/>"));
        QCOMPARE(safe.contains("href"), kept);
    }

    // The box drawn is the window in force at the first drawing, in the
    // renderer's units: from its origin, y growing downwards whatever the
    // extent's sign (files with y growing upwards came out blank).
    void windowAtTheFirstDrawing_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QSizeF>("box"); // points
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("text") << 1 << QSizeF(300, 400) << QSize(20, 27);
        QTest::newRow("lometric") << 2 << QSizeF(85.0394, 113.3858) << QSize(113, 151);
        QTest::newRow("himetric") << 3 << QSizeF(8.5039, 11.3386) << QSize(11, 15);
        QTest::newRow("loenglish") << 4 << QSizeF(216, 288) << QSize(288, 384);
        QTest::newRow("hienglish") << 5 << QSizeF(21.6, 28.8) << QSize(29, 38);
        QTest::newRow("twips") << 6 << QSizeF(15, 20) << QSize(20, 27);
        // Viewport 600 x 200 for a window of 300 x 400: two and a half units.
        QTest::newRow("isotropic") << 7 << QSizeF(600, 200) << QSize(20, 27);
        QTest::newRow("anisotropic") << 8 << QSizeF(600, 200) << QSize(20, 27);
    }
    void windowAtTheFirstDrawing()
    {
        QFETCH(int, mode);
        QFETCH(QSizeF, box);
        QFETCH(QSize, pixels);
        WmfWriter wmf;
        wmf.record(MapMode, {mode})
            .record(WindowOrg, {200, 100})
            .record(WindowExt, {-400, 300})
            .record(ViewportExt, {200, 600})
            .record(LineTo, {10, 10})
            .record(WindowOrg, {0, 0}) // after the first drawing: ignored
            .record(0, {});
        const metafile::WmfFrame frame = wmf.frame();
        QVERIFY(frame.valid);
        const QRectF got(QPointF(frame.left, frame.top), QPointF(frame.right, frame.bottom));
        for (const auto &[a, b] : {std::pair{got.left(), 0.0},
                                   {got.top(), 0.0},
                                   {got.width(), box.width()},
                                   {got.height(), box.height()}})
            QVERIFY2(std::abs(a - b) < 0.01, qPrintable(QStringLiteral("%1 != %2").arg(a).arg(b)));
        QCOMPARE(QSize(int(frame.pixelWidth), int(frame.pixelHeight)), pixels);
    }

    void placeableBoxWithoutAWindow()
    {
        WmfWriter wmf(true);
        wmf.record(LineTo, {10, 10}).record(0, {});
        const metafile::WmfFrame frame = wmf.frame();
        QVERIFY(frame.valid);
        // 1440 units an inch: 400 x 300 units are 20 x 15 points.
        QCOMPARE(frame.right - frame.left, 20.0);
        QCOMPARE(frame.bottom - frame.top, 15.0);
    }

    void contentTellsAWmf()
    {
        WmfWriter wmf;
        wmf.record(LineTo, {10, 10}).record(0, {});
        const auto isWmf = [](const QByteArray &bytes) {
            return metafile::isWmf(reinterpret_cast<const unsigned char *>(bytes.constData()),
                                   size_t(bytes.size()));
        };
        QVERIFY(isWmf(wmf.bytes()));
        QVERIFY(isWmf(WmfWriter(true).bytes()));
        QVERIFY(!isWmf(QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00", 18)));
        QVERIFY(!isWmf(wmf.bytes().left(10)));
    }

    void recordPastTheEndGivesNoFrame()
    {
        WmfWriter wmf;
        wmf.record(WindowExt, {400, 300});
        wmf.truncatedRecord();
        QVERIFY(!wmf.frame().valid);
    }
};

QTEST_MAIN(tst_metafile)
#include "tst_metafile.moc"
