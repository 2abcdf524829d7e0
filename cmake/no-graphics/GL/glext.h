// Stands first on the include path of the core and of every program without a window.
#error "the core and the windowless programs draw nothing: GL, GLU, GLUT and stb belong to the drawing layer (flipper_draw) and the game's shell"
