#pragma once

/// A GLUT bitmap font: per character its advance width followed by its rows, bottom row first,
/// each row padded to whole bytes; all glyphs share one height and origin.
struct BitmapFont {
    int quantity;                            ///< characters 0 .. quantity - 1
    int height;                              ///< rows per glyph
    float xorig, yorig;                      ///< the glyph origin, from its lower left corner
    const unsigned char* const* characters;  ///< per character: width, then the rows; null if none
};

/// GLUT's 18-point Helvetica, taken from the installed freeglut when the web build is made.
extern const BitmapFont helvetica18;
