#include "tests/render/render_fixture.h"

#include "platform/platform_test.h"
#include "render/render.h"

#include <dirent.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string MakeScratchDir() {
    char pattern[] = "/tmp/tessavine-render-XXXXXX";
    const char* made = mkdtemp(pattern);
    return made != nullptr ? std::string(made) : std::string();
}

void RemoveScratchDir(const std::string& dir) {
    if (dir.empty()) {
        return;
    }
    DIR* listing = opendir(dir.c_str());
    if (listing != nullptr) {
        while (dirent* entry = readdir(listing)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") {
                std::remove((dir + "/" + name).c_str());
            }
        }
        closedir(listing);
    }
    rmdir(dir.c_str());
}

void WriteSolidBmp(const std::string& dir, const std::string& name, int width, int height, BmpColor color) {
    BmpPicture picture{width, height, std::vector<BmpColor>(static_cast<std::size_t>(width) * height, color)};
    ASSERT_TRUE(WriteBmpFile(dir + "/" + name, picture, BmpFormat{24, BMP_INFO_HEADER, true, false}, {}));
}

void ProjectToPixel(float x, float y, float z, int* column, int* row) {
    GLdouble modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble wx, wy, wz;
    gluProject(x, y, z, modelview, projection, viewport, &wx, &wy, &wz);
    *column = static_cast<int>(std::floor(wx));
    *row = viewport[3] - 1 - static_cast<int>(std::floor(wy));
}

Rgb8 PixelAt(const SnapshotImage& image, int column, int row) {
    if (column < 0 || row < 0 || column >= image.width || row >= image.height) {
        ADD_FAILURE() << "pixel (" << column << ", " << row << ") outside the " << image.width << " x "
                      << image.height << " picture";
        return {-1, -1, -1};
    }
    const std::uint8_t* p = &image.rgb[(static_cast<std::size_t>(row) * image.width + column) * 3];
    return {p[0], p[1], p[2]};
}

SnapshotImage DrawSkyOnly() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    DrawSky();
    glFinish();
    SnapshotImage image;
    ReadSnapshotBackBuffer(&image);
    return image;
}

void RenderWindowTest::TearDown() {
    if (m_open) {
        // The quadric belongs to the context's lifetime; the next test's
        // set-up makes a new one.
        if (g_quadric != nullptr) {
            gluDeleteQuadric(g_quadric);
            g_quadric = nullptr;
        }
        CloseSnapshotWindow();
    }
    RemoveScratchDir(m_scratch);
}

std::string RenderWindowTest::Scratch() {
    if (m_scratch.empty()) {
        m_scratch = MakeScratchDir();
    }
    return m_scratch;
}

void RenderWindowTest::OpenScene(int width, int height) {
    ASSERT_NO_FATAL_FAILURE(OpenScene(width, height, Scratch()));
}

void RenderWindowTest::OpenScene(int width, int height, const std::string& dir) {
    ResetSnapshotScene();
    ASSERT_TRUE(OpenSnapshotWindow(width, height))
        << "no OpenGL window (" << PlatformLastError() << "): these tests need a display (Xvfb)";
    m_open = true;
    int clientWidth, clientHeight;
    SnapshotClientSize(&clientWidth, &clientHeight);
    ASSERT_EQ(clientWidth, width);
    ASSERT_EQ(clientHeight, height);
    InitSnapshotRender(dir);
}

::testing::AssertionResult ColorNear(const Rgb8& actual, const Rgb8& expected, int tolerance) {
    if (std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "colour (" << actual.r << ", " << actual.g << ", " << actual.b << "), expected (" << expected.r
           << ", " << expected.g << ", " << expected.b << ") within " << tolerance;
}
