#pragma once

#include <string>

#include "web/gl/Pipeline.h"

/// The one GL context of the web build: the pipeline behind the gl*, glu* and glut* functions
/// of web/include, the GLUT callbacks the game registered, and where swapped frames go.
namespace fixedgl {

/// The callbacks registered through glut*Func; null when unset.
struct GlutCallbacks {
    void (*idle)() = nullptr;
    void (*display)() = nullptr;
    void (*reshape)(int, int) = nullptr;
    void (*keyboard)(unsigned char, int, int) = nullptr;
    void (*mouse)(int, int, int, int) = nullptr;
    void (*motion)(int, int) = nullptr;
    void (*passiveMotion)(int, int) = nullptr;
};

/// The window the game asked for with glutInitWindowSize and glutCreateWindow.
struct WindowRequest {
    int width = 300, height = 300;  ///< GLUT's default size
    std::string title;
    bool created = false;
};

/// Draws a finished frame: called by glutSwapBuffers with the pipeline holding the frame.
using FramePresenter = void (*)(Pipeline& pipeline);

Pipeline& context();
GlutCallbacks& glutCallbacks();
const WindowRequest& windowRequest();
void setFramePresenter(FramePresenter presenter);
/// Whether glutPostRedisplay was called since the last call; clears the request.
bool takeRedisplay();

}  // namespace fixedgl
