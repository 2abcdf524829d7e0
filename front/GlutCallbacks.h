#pragma once

class Game;
class Pacing;
class Trackball;

/// The window's side of the game, as GLUT calls it: display, reshape, the keys, the mouse and the idle
/// call, with what binds them to a game and how the window is set up.
namespace callbacks {

/// The toolkit's callbacks. They carry no user data, so they reach the one game and the one
/// trackball set here; each only forwards to them and issues the window's own GL calls.
/// Binding clears any pacing.
void bindCallbacks(Game& game, Trackball& trackball);
/// Paces the idle callback by the wall clock; null (the default) gives one Game::idle per idle call,
/// as fast as the machine runs. The pacing must outlive the callbacks.
void bindPacing(Pacing* pacing);

/// Called at the start of every idle call, before the game's: where the desktop game reads its
/// game controllers, whose presses come in through keyboard as keys. Null (the default) for none.
void bindInputPoll(void (*poll)());

/// Called by display after the scene is drawn and before the buffers swap, for every picture the
/// game asked for (not for the window being uncovered): where a film takes its frames. Null for none.
void bindFrameHook(void (*hook)());
/// The game has asked for a picture that display has not drawn yet.
bool framePending();

/// How a front end fits a window's size to what its renderer can draw, before reshape draws into it:
/// the desktop game asks a window too large to shrink back; the page sizes its canvas itself.
using WindowFit = void (*)(int& width, int& height);
/// Fits every reshape with fit; null (the default) draws at the size the window has.
void bindWindowFit(WindowFit fit);

/// Sets the fixed OpenGL state: depth test, lighting with one light, colour material, black clear colour.
void initGL();
/// Registers display, reshape, keyboard, mouse and motion (no passive motion), then idle.
void registerCallbacks();

void display();
void reshape(int width, int height);
void keyboard(unsigned char key, int x, int y);
void mouse(int button, int state, int x, int y);
void motion(int x, int y);
void idle();

}  // namespace callbacks
