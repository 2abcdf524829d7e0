#include "obstacles/TexturedPanel.h"

namespace {

constexpr double farAway = 1e10;  // beyond any ball's bounding radius

}  // namespace

TexturedPanel::TexturedPanel(const Vector& origin, const Vector& edgeU, const Vector& edgeV, int solid)
    : Obstacle(solid), origin(origin), edgeU(edgeU), edgeV(edgeV) {}

double TexturedPanel::distance(const Vector& /*point*/) const { return farAway; }

bool TexturedPanel::collide(Mass& /*mass*/, const Vector& /*pull*/) { return false; }
