// Writes the photo-like JPEGs that the benchmarks use, once: later runs find
// them in place. Flat gradients decode about three times faster than photos,
// so these carry texture and sensor-like noise.
//
//   bench_photos <folder>
//     step/photo000.jpg ... photo199.jpg   12 megapixels, 4000 x 3000
//     photo48.jpg                          48 megapixels, 8000 x 6000
//     folder20k/                           photo.jpg among 19,999 other files
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <jpeglib.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int stepCount = 200;
constexpr int folderCount = 20000;
constexpr const char *version = "photos-2";

struct Noise
{
    uint64_t state;
    uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return uint32_t(state);
    }
    // Roughly bell-shaped, -24..24.
    int sample()
    {
        const uint32_t r = next();
        return int(r & 15) + int((r >> 4) & 15) + int((r >> 8) & 15) + int((r >> 12) & 15) - 30 +
               int((r >> 16) & 15) - 7;
    }
};

uint8_t clampByte(double v)
{
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

bool writePhoto(const fs::path &path, int width, int height, int seed)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);

    Noise noise{0x9E3779B97F4A7C15ull * uint64_t(seed + 1)};
    const double phase = seed * 0.7;
    std::vector<uint8_t> row(size_t(width) * 3);
    // Pre-computed per column: the horizontal parts of the scene.
    std::vector<double> cx(static_cast<size_t>(width));
    std::vector<double> cdetail(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x) {
        const double u = double(x) / width;
        cx[size_t(x)] = 60 * std::sin(u * 5.1 + phase) + 30 * std::sin(u * 17.3 + phase * 2);
        cdetail[size_t(x)] = 18 * std::sin(x * 0.21 + phase) * std::sin(x * 0.053);
    }
    while (info.next_scanline < info.image_height) {
        const int y = int(info.next_scanline);
        const double v = double(y) / height;
        const double sky = 70 * std::cos(v * 3.3 + phase) + 25 * std::sin(v * 11.7);
        const double rowDetail = std::sin(y * 0.17 + phase);
        for (int x = 0; x < width; ++x) {
            const double base = 120 + cx[size_t(x)] + sky;
            const double detail = cdetail[size_t(x)] * rowDetail;
            const int n = noise.sample();
            row[size_t(x) * 3 + 0] = clampByte(base + detail + n + 25 * v);
            row[size_t(x) * 3 + 1] = clampByte(base * 0.9 + detail + (n * 3) / 4);
            row[size_t(x) * 3 + 2] = clampByte(base * 0.7 - detail + n + 40 * (1 - v));
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_photos <folder>\n");
        return 2;
    }
    const fs::path root = argv[1];
    const fs::path marker = root / ".complete";
    {
        std::ifstream in(marker);
        std::string found;
        if (in >> found && found == version)
            return 0;
    }
    std::printf("writing the benchmark photos into %s (once)...\n", root.c_str());
    std::fflush(stdout);
    fs::remove_all(root);
    fs::create_directories(root / "step");
    fs::create_directories(root / "folder20k");
    char name[64];
    for (int i = 0; i < stepCount; ++i) {
        std::snprintf(name, sizeof name, "photo%03d.jpg", i);
        if (!writePhoto(root / "step" / name, 4000, 3000, i))
            return 1;
    }
    if (!writePhoto(root / "photo48.jpg", 8000, 6000, 1000))
        return 1;
    const char *const endings[] = {".jpg", ".bmp", ".txt", ".gif", ".png"};
    for (int i = 0; i < folderCount - 1; ++i) {
        std::snprintf(name, sizeof name, "file%05d%s", i, endings[i % 5]);
        std::ofstream(root / "folder20k" / name);
    }
    fs::copy_file(root / "step" / "photo000.jpg", root / "folder20k" / "photo.jpg");
    std::ofstream(marker) << version << '\n';
    return 0;
}
