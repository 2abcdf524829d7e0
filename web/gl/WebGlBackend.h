#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "web/gl/Pipeline.h"

/// Rasterises the pipeline's frames with WebGL through a two-line shader: the vertices arrive
/// lit and in clip space, and only texturing happens per fragment. Keeps the real textures.
class WebGlBackend : public fixedgl::TextureSink {
public:
    /// Creates a WebGL 1 context on the canvas (a CSS selector) with a depth buffer and no
    /// antialiasing. Returns "" or one line saying why the browser gives none.
    [[nodiscard]] std::string open(const char* canvasSelector);
    /// Draws one frame's batches: the clear, then every batch in order.
    void present(fixedgl::Pipeline& pipeline);

    void upload(unsigned name, int width, int height, const std::vector<std::uint8_t>& rgba) override;
    void release(unsigned name) override;

private:
    unsigned program_ = 0;
    unsigned buffer_ = 0;
    int positionAttribute_ = -1, colourAttribute_ = -1, texAttribute_ = -1;
    int shadingUniform_ = -1, samplerUniform_ = -1;
    std::map<unsigned, unsigned> textures_;  ///< the game's texture names -> WebGL's
    std::size_t bufferVertices_ = 0;  ///< vertices the WebGL buffer holds room for
};
