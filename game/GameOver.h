#pragma once

class World;

/// The lowest point of anything on the table the ball can touch: the bottom of the lowest bumper.
/// The pictures are left out, since nothing collides with them.
double tableBottom(const World& world);

/// True when the ball can no longer come back into play: it is falling (its centre mass moves down)
/// and every mass is below the table's bottom by at least the ball's bounding diameter, so that even a
/// ball springing back into shape meets nothing. Gravity has no upward part and nothing lies below
/// the table, so a lost ball stays lost. False for a World without a ball, and for a ball whose state
/// is no longer a number. bottom is tableBottom(world), worked out once per World by its caller.
/// It only looks: the game goes on stepping as before.
bool ballIsLost(const World& world, double bottom);
