#include "desktop/WindowFit.h"

#include <GL/gl.h>
#include <GL/glut.h>

#include <algorithm>

namespace {

// A window larger than the renderer can draw is drawn at the size it can. Every renderer takes this
// many pixels a side; above it the renderer is asked, and never more than largestWindowSide is used:
// that is beyond any screen, while a 16000-pixel window already costs a software renderer 2 GB.
constexpr int sideEveryRendererTakes = 4096;
constexpr int largestWindowSide = 8192;

/// The most pixels a side the game draws, given the renderer's viewport limit (0 when it gave none).
int largestDrawableSide(GLint rendererLimit) {
    return rendererLimit > 0 && rendererLimit < largestWindowSide ? int(rendererLimit) : largestWindowSide;
}

}  // namespace

void fitToRenderer(int& width, int& height) {
    if (width <= sideEveryRendererTakes && height <= sideEveryRendererTakes) return;
    GLint limits[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, limits);
    const int fittedWidth = std::min(width, largestDrawableSide(limits[0]));
    const int fittedHeight = std::min(height, largestDrawableSide(limits[1]));
    if (fittedWidth == width && fittedHeight == height) return;
    glutReshapeWindow(fittedWidth, fittedHeight);
    width = fittedWidth;
    height = fittedHeight;
}
