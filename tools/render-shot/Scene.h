#pragma once
// A scripted scene for render-shot: one drawing operation a line, played onto a canvas with
// the render engine. Lines (numbers in rectangles separated by commas, colours #AARRGGBB):
//   canvas W H #colour            defaultfont FACE SIZE [bold] [underline] [italic]
//   font FACE SIZE [styles]       mouse X Y
//   fill L,T,R,B #colour          gradient L,T,R,B #first #second
//   rect L,T,R,B WIDTH #colour    roundrect L,T,R,B WIDTH EW EH #colour
//   line L,T,R,B WIDTH #colour [solid|dash|dot]
//   image L,T,R,B "description" ["modifier"]
//   text L,T,R,B FLAGS FONT #colour "text"      htmltext L,T,R,B FLAGS #colour "text"
// FLAGS are words joined by "|" (left center right top vcenter bottom singleline wordbreak
// endellipsis) or a number; in quoted strings \" is a quote, \n a newline, \\ a backslash.

#include "pane/core/RenderResources.h"
#include "platform/gfx/Bitmap.h"

#include <string>

namespace RenderShot {

class Scene {
public:
    // Plays the scene script; false with a message naming the line on the first bad line.
    bool Play(const std::string& script, std::string& error);
    const plat::Bitmap& Image() const { return m_bitmap; }
    Pane::CRenderResources& Resources() { return m_resources; }

private:
    bool PlayLine(const std::string& line, std::string& error);

    plat::Bitmap m_bitmap;
    Pane::CRenderResources m_resources;
};

} // namespace RenderShot
