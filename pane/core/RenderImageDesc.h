#pragma once
// The image description language: "name" alone, or key='value' pairs such as
// "res='174' restype='png' source='0,0,45,17' corner='2,2,2,2'". The parser turns one or two
// descriptions into the values a nine-patch draw needs. Plain value code, any thread.

#include "platform/base/WinTypes.h"

#include <cstdint>
#include <functional>
#include <string>

namespace Pane {

// Everything one image of a description says about how to draw it.
struct ImageDrawParams {
    std::string name;    // file name, or the decimal resource number when resType is set
    std::string resType; // empty for images from files
    plat::RECT dest{};   // absolute destination
    plat::RECT source{}; // source part in image pixels; all zero = the whole image
    plat::RECT corners{};
    uint32_t mask = 0; // ARGB colour made transparent at load; 0 = none
    uint8_t fade = 255;
    bool hole = false;
    bool xTiled = false;
    bool yTiled = false;
};

// Parses a description and then its modifier into one set of values. The image keys are
// counted per string: a "file", "res" or "restype" key that follows an earlier "file" or
// "restype" key of the same string first draws the image set up so far, so one string can draw
// several images, while a modifier that names the image again (as the combo's arrow does) only
// overrides it.
class CImageDescParser {
public:
    using DrawPending = std::function<void(const ImageDrawParams&)>;

    // Sets the defaults: the whole description as the name, the control rectangle as destination.
    static void SetDefaults(ImageDrawParams& params, const char* description,
                            const plat::RECT& rcItem);

    // Applies the pairs of one description on top of params; drawPending receives each image
    // that a later image key of the same string supersedes.
    static void Parse(const char* description, const plat::RECT& rcItem, ImageDrawParams& params,
                      const DrawPending& drawPending);

private:
    static void ApplyPair(const std::string& key, const std::string& value,
                          const plat::RECT& rcItem, ImageDrawParams& params);
};

// Reads up to four decimal numbers, each followed by one separator character ("1,2,3,4").
// Missing numbers read as 0.
plat::RECT ParseFourNumbers(const char* text);

} // namespace Pane
