// render-shot SCENE.txt OUT.png: plays a scripted scene of render-engine operations onto a
// canvas and writes it as PNG, to see and test how drawing looks.
#include "Scene.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

// The canvas keeps premultiplied B,G,R,A; PNG wants straight R,G,B,A.
bool WritePng(const plat::Bitmap& bitmap, const char* path) {
    std::vector<unsigned char> rgba(static_cast<size_t>(bitmap.width) * bitmap.height * 4);
    for (size_t i = 0; i < bitmap.pixels.size(); ++i) {
        const uint32_t p = bitmap.pixels[i];
        const uint32_t a = p >> 24;
        auto straight = [a](uint32_t c) {
            return static_cast<unsigned char>(a == 0 ? 0 : std::min<uint32_t>(255, c * 255 / a));
        };
        rgba[i * 4 + 0] = straight((p >> 16) & 0xFF);
        rgba[i * 4 + 1] = straight((p >> 8) & 0xFF);
        rgba[i * 4 + 2] = straight(p & 0xFF);
        rgba[i * 4 + 3] = static_cast<unsigned char>(a);
    }
    return stbi_write_png(path, bitmap.width, bitmap.height, 4, rgba.data(), bitmap.width * 4) != 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: render-shot SCENE.txt OUT.png\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "render-shot: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream script;
    script << file.rdbuf();
    RenderShot::Scene scene;
    std::string error;
    if (!scene.Play(script.str(), error)) {
        std::fprintf(stderr, "render-shot: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    if (!WritePng(scene.Image(), argv[2])) {
        std::fprintf(stderr, "render-shot: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
