// imagrove-metafile: renders one WMF or EMF file for the viewer, in a process
// of its own so that a hostile file can neither crash, hang nor exhaust the
// viewer. It links no Qt and runs in the C locale.
//
// usage: imagrove-metafile FILE|- WIDTH HEIGHT   (0 0: the natural size)
// stdout, on success, one header line then the payload:
//   WMF: "PIXELS natW natH outW outH bytes\n" + outW*outH native-endian 0xAARRGGBB words
//   EMF: "SVG natW natH vbX vbY vbW vbH outW outH bytes\n" + the SVG text, which
//        imagrove-svgraster turns into PIXELS
// On failure: nothing on stdout, one line on stderr, exit 1 (unreadable or
// invalid) or 3 (too large to hold).
#include "Confinement.h"
#include "HelperLimits.h"
#include "MetafileGeometry.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" {
#include <emf2svg.h>
}
#include <libwmf/api.h>
#include <libwmf/gd.h>

namespace {

constexpr long long maxFileBytes = 64LL << 20;

int g_out = -1; // the real standard output; fd 1 goes to /dev/null

[[noreturn]] void fail(int code, const std::string &message)
{
    std::fprintf(stderr, "%s\n", message.c_str());
    std::_Exit(code);
}

void writeAll(const void *data, size_t size)
{
    const char *p = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t n = ::write(g_out, p, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            std::_Exit(1);
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
}

std::vector<unsigned char> readFile(const char *path)
{
    // "-": the file the program opened for us, on standard input.
    FILE *file =
        std::strcmp(path, "-") == 0 ? fdopen(dup(STDIN_FILENO), "rb") : std::fopen(path, "rb");
    if (!file)
        fail(1, std::string("Cannot open the file: ") + std::strerror(errno));
    std::vector<unsigned char> data;
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        data.insert(data.end(), chunk, chunk + n);
        if (static_cast<long long>(data.size()) > maxFileBytes)
            fail(3, "The metafile is too large.");
    }
    std::fclose(file);
    return data;
}

void checkSize(long long width, long long height)
{
    if (width <= 0 || height <= 0)
        fail(1, "The picture has no size.");
    if (!metafile::sizeAllowed(width, height))
        fail(3, "The picture is too large to be shown.");
}

void renderWmf(std::vector<unsigned char> &data, long long wantW, long long wantH)
{
    wmfAPI *api = nullptr;
    wmfAPI_Options options{};
    options.function = wmf_gd_function;
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None)
        fail(1, "The metafile renderer could not start.");
    if (wmf_mem_open(api, data.data(), static_cast<long>(data.size())) != wmf_E_None)
        fail(1, "Invalid picture: not a Windows metafile.");
    wmfD_Rect drawn;
    if (wmf_scan(api, 0, &drawn) != wmf_E_None)
        fail(1, "Invalid picture: the metafile could not be read.");

    const metafile::WmfFrame frame = metafile::wmfFrame(data.data(), data.size());
    // The box that is shown: the window in force at the first drawing, or
    // what is drawn when the file sets none.
    wmfD_Rect box = drawn;
    if (frame.valid) {
        box.TL.x = static_cast<float>(frame.left);
        box.TL.y = static_cast<float>(frame.top);
        box.BR.x = static_cast<float>(frame.right);
        box.BR.y = static_cast<float>(frame.bottom);
    }
    long long natW = 0;
    long long natH = 0;
    if (api->File->placeable) {
        unsigned int w = 0;
        unsigned int h = 0;
        wmf_display_size(api, &w, &h, 96, 96);
        natW = w;
        natH = h;
    } else if (frame.valid) {
        natW = frame.pixelWidth;
        natH = frame.pixelHeight;
    } else {
        natW = metafile::pointsToPixels(box.BR.x - box.TL.x);
        natH = metafile::pointsToPixels(box.BR.y - box.TL.y);
    }
    // Only what is drawn must fit: a huge picture still draws into the pane.
    if (natW <= 0 || natH <= 0)
        fail(1, "The picture has no size.");
    const long long outW = wantW > 0 ? wantW : natW;
    const long long outH = wantH > 0 ? wantH : natH;
    checkSize(outW, outH);

    wmf_gd_t *gd = WMF_GD_GetData(api);
    gd->type = wmf_gd_image;
    gd->width = static_cast<unsigned int>(outW);
    gd->height = static_cast<unsigned int>(outH);
    gd->bbox = box;
    if (wmf_play(api, 0, &box) != wmf_E_None || !gd->gd_image)
        fail(1, "Invalid picture: the metafile could not be drawn.");
    const int *pixels = wmf_gd_image_pixels(gd->gd_image);
    if (!pixels)
        fail(1, "Invalid picture: the metafile could not be drawn.");

    std::vector<unsigned int> out(static_cast<size_t>(outW * outH));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = metafile::gdToArgb(static_cast<unsigned int>(pixels[i]));
    wmf_api_destroy(api);

    char header[128];
    const size_t bytes = out.size() * sizeof(unsigned int);
    std::snprintf(header, sizeof header, "PIXELS %lld %lld %lld %lld %zu\n", natW, natH, outW, outH,
                  bytes);
    writeAll(header, std::strlen(header));
    writeAll(out.data(), bytes);
}

void renderEmf(std::vector<unsigned char> &data, long long wantW, long long wantH)
{
    const metafile::EmfFrame frame = metafile::emfFrame(data.data(), data.size());
    if (!frame.valid)
        fail(1, "Invalid picture: not an enhanced metafile.");
    // A vector picture is drawn at the size it is shown: only that must fit.
    const long long outW = wantW > 0 ? wantW : frame.pixelWidth;
    const long long outH = wantH > 0 ? wantH : frame.pixelHeight;
    checkSize(outW, outH);

    generatorOptions options{};
    options.nameSpace = const_cast<char *>("");
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    options.imgWidth = 0;
    options.imgHeight = 0;
    char *svg = nullptr;
    size_t length = 0;
    const int ok =
        emf2svg(reinterpret_cast<char *>(data.data()), data.size(), &svg, &length, &options);
    if (!ok || !svg || length == 0) {
        std::free(svg);
        fail(1, "Invalid picture: the enhanced metafile could not be read.");
    }
    if (static_cast<long long>(length) > metafile::maxSvgBytes) {
        std::free(svg);
        fail(3, "The picture is too large to be shown.");
    }
    char header[256];
    std::snprintf(header, sizeof header, "SVG %lld %lld %.4f %.4f %.4f %.4f %lld %lld %zu\n",
                  frame.pixelWidth, frame.pixelHeight, frame.viewX, frame.viewY, frame.viewWidth,
                  frame.viewHeight, outW, outH, length);
    writeAll(header, std::strlen(header));
    writeAll(svg, length);
    std::free(svg);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4)
        fail(2, "usage: imagrove-metafile FILE|- WIDTH HEIGHT");
    metafile::limitResources(IMAGROVE_HELPER_MEMORY_MB, 20);
    std::setlocale(LC_ALL, "C");
    g_out = dup(STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    if (g_out < 0 || null < 0 || dup2(null, STDOUT_FILENO) < 0)
        fail(1, "Cannot set up the output.");

    const long long wantW = std::atoll(argv[2]);
    const long long wantH = std::atoll(argv[3]);
    std::vector<unsigned char> data = readFile(argv[1]);
    // From here on the input is parsed: nothing of the user's within reach.
    metafile::confine();
    if (metafile::isEmf(data.data(), data.size()))
        renderEmf(data, wantW, wantH);
    else if (metafile::isWmf(data.data(), data.size()))
        renderWmf(data, wantW, wantH);
    else
        fail(1, "Invalid picture: not a metafile.");
    return 0;
}
