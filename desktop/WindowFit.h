#pragma once

/// Fits a window size to what the renderer can draw, so the driver is never handed a viewport beyond
/// its limits; a window too large is asked to shrink back. The desktop game's WindowFit.
void fitToRenderer(int& width, int& height);
