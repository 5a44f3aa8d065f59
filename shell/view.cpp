// The view: viewport and projection for the client area.
#include "shell/shell.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

constexpr double VIEW_FIELD_OF_VIEW = 45.0;
constexpr double VIEW_NEAR = static_cast<double>(0.1f);  // the single-precision 0.1, widened
constexpr double VIEW_FAR = 100.0;

}  // namespace

void ResizeView(int width, int height) {
    glViewport(0, 0, width, height);
    if (height == 0) height = 1;

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The scene is laid out for the integer quotient (640 x 480 gives 1). A
    // window narrower than it is high would give 0 and an infinite matrix:
    // such a window gets its true proportions instead, a minimised one 1.
    double aspect = static_cast<double>(width / height);
    if (aspect < 1.0) aspect = width > 0 ? static_cast<double>(width) / height : 1.0;
    gluPerspective(VIEW_FIELD_OF_VIEW, aspect, VIEW_NEAR, VIEW_FAR);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
