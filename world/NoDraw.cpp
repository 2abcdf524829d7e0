// The table drawn by nothing: for the programs without a window (the simulator, the benchmarks of
// the step, the fuzz targets, the core's tests). Every element keeps its draw operation, so the
// vtables are complete, but here each one does nothing, and no picture is ever loaded.
#include "obstacles/Box.h"
#include "obstacles/Sphere.h"
#include "obstacles/TexturedPanel.h"

void Box::draw() const {}

void Sphere::draw() const {}

void TexturedPanel::draw() const {}

// Without drawing, no panel is ever given a picture, so there is nothing to forget.
TexturedPanel::~TexturedPanel() = default;
