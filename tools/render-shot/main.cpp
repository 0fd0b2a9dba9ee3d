// render-shot SCENE.txt OUT.png: plays a scripted scene of render-engine operations onto a
// canvas and writes it as PNG, to see and test how drawing looks.
#include "Scene.h"

#include "platform/gfx/Image.h"
#include "platform/sys/File.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: render-shot SCENE.txt OUT.png\n");
        return 2;
    }
    std::string script;
    if (!plat::ReadFileText(argv[1], &script)) {
        std::fprintf(stderr, "render-shot: cannot read %s\n", argv[1]);
        return 1;
    }
    RenderShot::Scene scene;
    std::string error;
    if (!scene.Play(script, error)) {
        std::fprintf(stderr, "render-shot: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    // The canvas keeps premultiplied pixels; the file gets straight alpha.
    if (!plat::WritePngFile(argv[2], scene.Image())) {
        std::fprintf(stderr, "render-shot: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
