#pragma once

#include <string>

class TexturedPanel;

// The table's pictures as the drawing keeps them, for the program's one GL context: a texture for
// each picture file, and which texture each panel shows. A file is read whole every time a panel is
// given it, but decoded and uploaded only when its bytes differ from what was last read under that
// name, so a new game costs no decode and no upload while the files stay as they were.

/// Makes the picture in fileName the one the panel shows and returns "". A file that cannot be shown
/// leaves the panel untextured, gives back the texture kept under that name, and returns one line
/// naming the file ("woman.bmp: cannot load picture: ..."). Needs a current GL context.
[[nodiscard]] std::string showPicture(const TexturedPanel& panel, const char* fileName);

/// The texture the panel shows; 0 for none.
unsigned panelTexture(const TexturedPanel& panel);

/// The panel is gone: forgets which texture it showed. The picture stays kept for the next panel.
void forgetPanel(const TexturedPanel& panel);

/// Gives back every texture kept and forgets every panel, for a GL context that ends.
void releasePictures();
