#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "obstacles/Box.h"
#include "softbody/SoftBody.h"

class Obstacle;
class TexturedPanel;

/// How a World's picture panels get their textures. The game uploads its pictures; the
/// simulator and the tests pass none, and the panels stay untextured.
using TextureLoader = void (*)(TexturedPanel& panel, const char* fileName);

/// The whole game state: the ball, the table, the two flippers and the score. Built anew from the
/// model stream on every (re)start; it owns every table element.
class World : public SoftBody {
public:
    std::vector<Obstacle*> scoringObstacles;  ///< bumpers whose hits score; each also in obstacles
    std::vector<Obstacle*> obstacles;         ///< every table element, in collision and drawing order
    Box leftFlipper;                          ///< worked by 'f'
    Box rightFlipper;                         ///< worked by 'j'
    Box backWall;                             ///< the solid wall across the far end
    int score = 0;                            ///< points since this World was built
    std::string modelError;                   ///< why the ball could not be read; empty when it was

    /// Builds the flippers and back wall, reads the ball from model and puts it at its start point,
    /// lays out the rest of the table and sets the score to 0. A model that cannot be read leaves
    /// a full table with no ball (and the reason in modelError); such a World never steps.
    explicit World(std::istream& model, TextureLoader loadTexture = nullptr);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    /// One tick: forces, collisions with the near table elements, scoring, integration, flipper swings.
    void step();
    /// Draws the table, the ball's shadow, the ball and the score texts.
    void drawScene() const;

    /// Whether a ball was read; a World without one does not step.
    bool hasBall() const { return !masses.empty(); }

private:
    void layOutTable(TextureLoader loadTexture);

    std::vector<Obstacle*> ownedElements_;  ///< the heap elements of the table, released with the World
};
