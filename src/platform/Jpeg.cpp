#include "Jpeg.h"
#include "FileNames.h"

#include <algorithm>
#include <climits>
#include <vector>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <QFile>
#include <sys/mman.h>
// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace platform::jpeg {

namespace {

struct ErrorTrap
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

extern "C" void leave(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorTrap *>(info->err)->jump, 1);
}

// Warnings about damaged data are not worth a word: what can be shown is.
extern "C" void quiet(j_common_ptr, int) {}

// An open decoder over a file; the file is closed and the decoder destroyed
// however the reading ends.
struct Session
{
    explicit Session(const QString &path)
    {
        FileDescriptor fd(openRegularFile(path));
        if (fd.get() >= 0 && (file = ::fdopen(fd.get(), "rb")))
            fd.release();
        info.err = jpeg_std_error(&trap.manager);
        trap.manager.error_exit = leave;
        trap.manager.emit_message = quiet;
    }
    ~Session()
    {
        if (created)
            jpeg_destroy_decompress(&info);
        if (file)
            std::fclose(file);
    }
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    std::FILE *file = nullptr;
    ErrorTrap trap{};
    jpeg_decompress_struct info{};
    bool created = false;
};

// Fresh pages are costly to touch one by one; a large picture asks for huge
// pages, where the system offers them (a whole photo then costs a few
// faults instead of thousands). Its first page keeps the mapping's length.
QImage largeImage(int width, int height)
{
    constexpr size_t head = 4096;
    const size_t bytesPerLine = size_t(width) * 4;
    const size_t length = head + bytesPerLine * size_t(height);
    void *mapping =
        ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED)
        return {};
    ::madvise(mapping, length, MADV_HUGEPAGE);
    *static_cast<size_t *>(mapping) = length;
    return QImage(
        static_cast<uchar *>(mapping) + head, width, height, qsizetype(bytesPerLine),
        QImage::Format_RGB32, [](void *start) { ::munmap(start, *static_cast<size_t *>(start)); },
        mapping);
}

QImage newImage(int width, int height)
{
    constexpr qint64 large = 4 * 1024 * 1024;
    if (qint64(width) * height * 4 < large)
        return QImage(width, height, QImage::Format_RGB32);
    return largeImage(width, height);
}

// The whole-picture coefficient buffers of a progressive or multi-scan
// file: 64 coefficients of two bytes for each block of each component.
qint64 workBytes(const jpeg_decompress_struct &info)
{
    if (!info.progressive_mode && info.num_components <= 1)
        return 0;
    if (!info.progressive_mode && !jpeg_has_multiple_scans(const_cast<j_decompress_ptr>(&info)))
        return 0;
    int maxH = 1, maxV = 1;
    for (int c = 0; c < info.num_components; ++c) {
        maxH = std::max(maxH, info.comp_info[c].h_samp_factor);
        maxV = std::max(maxV, info.comp_info[c].v_samp_factor);
    }
    qint64 total = 0;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info &comp = info.comp_info[c];
        const qint64 width =
            (qint64(info.image_width) * comp.h_samp_factor + maxH * 8 - 1) / (maxH * 8);
        const qint64 height =
            (qint64(info.image_height) * comp.v_samp_factor + maxV * 8 - 1) / (maxV * 8);
        total += (width + comp.h_samp_factor) * (height + comp.v_samp_factor) * 128;
    }
    return total;
}

bool decodable(const jpeg_decompress_struct &info)
{
    return info.jpeg_color_space == JCS_GRAYSCALE || info.jpeg_color_space == JCS_YCbCr ||
           info.jpeg_color_space == JCS_RGB;
}

// Only under a caller's setjmp: libjpeg may jump out of it.
void start(Session &s, Header &header)
{
    jpeg_create_decompress(&s.info);
    s.created = true;
    jpeg_stdio_src(&s.info, s.file);
    jpeg_save_markers(&s.info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&s.info, TRUE);
    header.decodable = decodable(s.info);
    header.workBytes = workBytes(s.info);
    header.stored = QSize(int(s.info.image_width), int(s.info.image_height));
    for (jpeg_saved_marker_ptr m = s.info.marker_list; m; m = m->next) {
        if (m->marker == JPEG_APP0 + 1) {
            header.orientation = exifOrientation(m->data, m->data_length);
            if (header.orientation != 1)
                break;
        }
    }
}

// The steps that may jump hold nothing with a destructor of their own; the
// image is the caller's, assigned here.
bool run(Session &s, Header &header, QSize atLeast, qint64 budget, QImage *image)
{
    if (setjmp(s.trap.jump))
        return false;
    start(s, header);
    if (!image)
        return true;
    if (!header.decodable)
        return false;

    // The smallest scale in eighths that is no smaller than asked.
    unsigned eighths = 8;
    if (!atLeast.isEmpty()) {
        for (unsigned m = 1; m < 8; ++m) {
            const auto scaled = [m](unsigned side) { return (side * m + 7) / 8; };
            if (scaled(s.info.image_width) >= unsigned(atLeast.width()) &&
                scaled(s.info.image_height) >= unsigned(atLeast.height())) {
                eighths = m;
                break;
            }
        }
    }
    s.info.scale_num = eighths;
    s.info.scale_denom = 8;
    s.info.out_color_space = JCS_EXT_BGRX;
    // Past this the decoder stops instead of allocating: it has no backing
    // store to spill to.
    if (budget > 0)
        s.info.mem->max_memory_to_use = long(std::min<qint64>(budget, LONG_MAX));
    jpeg_start_decompress(&s.info);
    *image = newImage(int(s.info.output_width), int(s.info.output_height));
    if (image->isNull())
        return false;
    while (s.info.output_scanline < s.info.output_height) {
        JSAMPROW row = image->scanLine(int(s.info.output_scanline));
        jpeg_read_scanlines(&s.info, &row, 1);
    }
    jpeg_finish_decompress(&s.info);
    return true;
}

} // namespace

struct Rows::Open
{
    explicit Open(const QString &path) : session(path) {}
    Session session;
    Header header;
    std::vector<unsigned char> row;
    bool ok = false;
};

Rows::Rows(const QString &path) : m_open(std::make_unique<Open>(path))
{
    Session &s = m_open->session;
    if (!s.file || setjmp(s.trap.jump))
        return;
    start(s, m_open->header);
    // Skipping in a many-scan file would decode all of it first anyway.
    if (!m_open->header.decodable || m_open->header.workBytes > 0)
        return;
    s.info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&s.info);
    m_open->row.resize(size_t(s.info.output_width) * 4);
    m_open->ok = true;
}

Rows::~Rows() = default;

bool Rows::ok() const
{
    return m_open->ok;
}

Header Rows::header() const
{
    return m_open->header;
}

int Rows::line() const
{
    return int(m_open->session.info.output_scanline);
}

bool Rows::skipTo(int row, const std::function<bool()> &stop)
{
    Session &s = m_open->session;
    if (!m_open->ok || setjmp(s.trap.jump))
        return m_open->ok = false;
    // Skipping still decodes the entropy: a band takes a few milliseconds.
    constexpr JDIMENSION band = 128;
    if (row < 0 || JDIMENSION(row) > s.info.output_height)
        return m_open->ok = false;
    while (s.info.output_scanline < JDIMENSION(row)) {
        if (stop())
            return false;
        // A skip that passes over nothing would be tried for ever.
        if (jpeg_skip_scanlines(&s.info,
                                std::min(band, JDIMENSION(row) - s.info.output_scanline)) == 0)
            return m_open->ok = false;
    }
    return true;
}

bool Rows::read(QImage &into, int left)
{
    Session &s = m_open->session;
    if (!m_open->ok || left < 0 || into.depth() != 32 ||
        qint64(left) + into.width() > qint64(s.info.output_width) ||
        qint64(s.info.output_scanline) + into.height() > qint64(s.info.output_height) ||
        setjmp(s.trap.jump))
        return m_open->ok = false;
    const size_t bytes = size_t(into.width()) * 4;
    for (int y = 0; y < into.height(); ++y) {
        JSAMPROW row = m_open->row.data();
        jpeg_read_scanlines(&s.info, &row, 1);
        std::memcpy(into.scanLine(y), m_open->row.data() + size_t(left) * 4, bytes);
    }
    return true;
}

bool readHeader(const QString &path, Header &header)
{
    Session session(path);
    return session.file && run(session, header, {}, 0, nullptr);
}

Outcome decode(const QString &path, QSize atLeast, qint64 budgetBytes, QImage &image)
{
    Session session(path);
    Header header;
    if (session.file && run(session, header, atLeast, budgetBytes, &image))
        return Outcome::Done;
    image = QImage();
    const int code = session.trap.manager.msg_code;
    return code == JERR_NO_BACKING_STORE || code == JERR_OUT_OF_MEMORY ? Outcome::OverBudget
                                                                       : Outcome::Failed;
}

int exifOrientation(const unsigned char *data, size_t size)
{
    if (size < 14 || std::memcmp(data, "Exif\0\0", 6) != 0)
        return 1;
    const unsigned char *tiff = data + 6;
    const size_t length = size - 6;
    bool little;
    if (tiff[0] == 'I' && tiff[1] == 'I')
        little = true;
    else if (tiff[0] == 'M' && tiff[1] == 'M')
        little = false;
    else
        return 1;
    const auto u16 = [&](size_t at) {
        return little ? unsigned(tiff[at] | tiff[at + 1] << 8)
                      : unsigned(tiff[at] << 8 | tiff[at + 1]);
    };
    const auto u32 = [&](size_t at) {
        return little ? u16(at) | size_t(u16(at + 2)) << 16 : size_t(u16(at)) << 16 | u16(at + 2);
    };
    const size_t directory = u32(4);
    if (directory > length || length - directory < 2)
        return 1;
    const size_t count = u16(directory);
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = directory + 2 + i * 12;
        if (entry + 12 > length)
            break;
        if (u16(entry) == 0x0112 && u16(entry + 2) == 3) {
            const unsigned value = u16(entry + 8);
            return value >= 1 && value <= 8 ? int(value) : 1;
        }
    }
    return 1;
}

QImage oriented(QImage image, int orientation)
{
    // Mirror first, then a quarter turn, as the EXIF values are defined.
    const bool mirror = orientation == 2 || orientation == 7;
    const bool flip = orientation == 4 || orientation == 5;
    if (orientation == 3)
        return image.transformed(QTransform().rotate(180));
    if (orientation == 8)
        return image.transformed(QTransform().rotate(270));
    if (mirror || flip)
        image = std::move(image).mirrored(mirror, flip);
    if (orientation >= 5)
        image = image.transformed(QTransform().rotate(90));
    return image;
}

} // namespace platform::jpeg
