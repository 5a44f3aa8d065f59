// ResizeView against a real OpenGL context: the viewport and the projection
// read back from GL.
#include "platform/platform.h"
#include "shell/shell.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <ostream>

#include <cmath>

namespace {

class ViewTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "ViewTest";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, "ViewTest", "view", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        ShowWindow(window_, SW_SHOWNORMAL);
        deviceContext_ = GetDC(window_);
        PIXELFORMATDESCRIPTOR request{};
        request.nSize = sizeof request;
        request.nVersion = 1;
        request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        request.cColorBits = 24;
        request.cDepthBits = 32;
        const int format = ChoosePixelFormat(deviceContext_, &request);
        ASSERT_NE(format, 0);
        ASSERT_TRUE(SetPixelFormat(deviceContext_, format, &request));
        context_ = wglCreateContext(deviceContext_);
        ASSERT_TRUE(wglMakeCurrent(deviceContext_, context_));
    }

    static void TearDownTestSuite() {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context_);
        ReleaseDC(window_, deviceContext_);
        DestroyWindow(window_);
    }

    static HWND window_;
    static HDC deviceContext_;
    static HGLRC context_;
};

HWND ViewTest::window_;
HDC ViewTest::deviceContext_;
HGLRC ViewTest::context_;

// The perspective matrix for a 45-degree field of view, near 0.1f, far 100.
void ExpectPerspective(double aspect) {
    const double nearPlane = static_cast<double>(0.1f);
    const double farPlane = 100.0;
    const double f = 1.0 / std::tan(45.0 / 2.0 * M_PI / 180.0);
    double expected[16] = {};
    expected[0] = f / aspect;
    expected[5] = f;
    expected[10] = (farPlane + nearPlane) / (nearPlane - farPlane);
    expected[11] = -1.0;
    expected[14] = 2.0 * farPlane * nearPlane / (nearPlane - farPlane);

    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(projection[i], expected[i], 1e-5 * std::max(1.0, std::fabs(expected[i])))
            << "entry " << i;
    }
}

void ExpectModelviewIdentity() {
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(modelview[i], (i % 5 == 0) ? 1.0f : 0.0f) << "entry " << i;
}

struct SizeCase {
    int width;
    int height;
    double aspect;
};

std::ostream& operator<<(std::ostream& out, const SizeCase& c) {
    return out << c.width << " x " << c.height;
}

class IntegerAspectTest : public ViewTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(IntegerAspectTest, ViewportAndProjection) {
    const SizeCase& c = GetParam();
    glMatrixMode(GL_TEXTURE);  // ResizeView must leave the modelview current
    ResizeView(c.width, c.height);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], c.width);
    EXPECT_EQ(viewport[3], c.height);
    ExpectPerspective(c.aspect);
    ExpectModelviewIdentity();
}

// The quotient is taken in integers: 640 x 480 gives 1, not 1.33.
INSTANTIATE_TEST_SUITE_P(Sizes, IntegerAspectTest,
                         ::testing::Values(SizeCase{640, 480, 1.0}, SizeCase{800, 600, 1.0},
                                           SizeCase{1280, 480, 2.0}, SizeCase{1279, 640, 1.0},
                                           SizeCase{1920, 600, 3.0}, SizeCase{480, 480, 1.0},
                                           // A height of 0 counts as 1, the viewport keeps 0.
                                           SizeCase{800, 0, 800.0}));

class NarrowWindowTest : public ViewTest, public ::testing::WithParamInterface<SizeCase> {};

// Narrower than high, or minimised: the integer quotient would be 0 and the
// matrix infinite; the view keeps the window's true proportions instead.
TEST_P(NarrowWindowTest, ProjectionStaysFinite) {
    const SizeCase& c = GetParam();
    ResizeView(c.width, c.height);
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    for (int i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(projection[i])) << "entry " << i;
    ExpectPerspective(c.aspect);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], c.width);
    EXPECT_EQ(viewport[3], c.height);
}

INSTANTIATE_TEST_SUITE_P(Sizes, NarrowWindowTest,
                         ::testing::Values(SizeCase{300, 600, 0.5}, SizeCase{479, 480, 479.0 / 480.0},
                                           SizeCase{1, 1000, 0.001}, SizeCase{0, 0, 1.0},
                                           SizeCase{0, 480, 1.0}));

TEST_F(ViewTest, RestoringAfterMinimiseGivesTheRightViewAgain) {
    ResizeView(0, 0);
    ResizeView(640, 480);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    ExpectPerspective(1.0);
}

TEST_F(ViewTest, DoesNothingWithoutACurrentContext) {
    ResizeView(640, 480);
    ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
    ResizeView(100, 50);
    ASSERT_TRUE(wglMakeCurrent(deviceContext_, context_));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    ExpectPerspective(1.0);
}

}  // namespace
