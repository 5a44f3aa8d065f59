// render_fixture.h -- a real window and OpenGL context per test (Mesa under
// Xvfb), a scratch folder of texture files, and pixel look-ups by eye-space
// position.
#pragma once

#include "tools/bmp_write.h"
#include "tools/offscreen.h"

#include <gtest/gtest.h>

#include <string>

struct Rgb8 {
    int r, g, b;
};

// A fresh folder under /tmp, removed with its files by RemoveScratchDir.
std::string MakeScratchDir();
void RemoveScratchDir(const std::string& dir);
// A width x height bitmap of one colour (24-bit, file header, info header).
void WriteSolidBmp(const std::string& dir, const std::string& name, int width, int height, BmpColor color);

// The pixel (column from the left, row from the top) where the eye-space
// point (identity modelview) lands under the current projection and viewport.
void ProjectToPixel(float x, float y, float z, int* column, int* row);
Rgb8 PixelAt(const SnapshotImage& image, int column, int row);
// The sky layer alone, drawn over the cleared buffer and read back.
SnapshotImage DrawSkyOnly();

// A test that owns a window with its context; TearDown closes it and removes
// the scratch folder.
class RenderWindowTest : public ::testing::Test {
  protected:
    void TearDown() override;
    // Window of that client size, the scene at its start values and the render
    // set-up with the textures of `dir` (empty: the scratch folder, which
    // then holds whatever the test wrote there).
    void OpenScene(int width, int height);
    void OpenScene(int width, int height, const std::string& dir);
    std::string Scratch();

  private:
    std::string m_scratch;
    bool m_open = false;
};

::testing::AssertionResult ColorNear(const Rgb8& actual, const Rgb8& expected, int tolerance);
