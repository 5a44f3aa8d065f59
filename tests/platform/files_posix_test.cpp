// File mapping and local memory as the bitmap reader uses them.
#include "platform/platform.h"
#include "platform/platform_test.h"
#include "tests/image/dib_fixtures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class PlatformFilesTest : public ::testing::Test {
  protected:
    void SetUp() override { dir = DibMakeTempDir(); }
    void TearDown() override {
        EXPECT_EQ(PlatformLiveFileObjectCount(), 0);
        EXPECT_FALSE(DibMapsMention(dir));
        DibRemoveTree(dir);
    }
    static HANDLE Open(const std::string& path) {
        return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    std::string dir;
};

TEST_F(PlatformFilesTest, ViewHoldsTheWholeFile) {
    Bytes bytes(5001);
    for (std::size_t i = 0; i < bytes.size(); i++) bytes[i] = static_cast<std::uint8_t>(i * 7);
    HANDLE file = Open(DibWriteFile(dir, "a.bin", bytes));
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(MappedViewSize(view), bytes.size());
    EXPECT_EQ(std::memcmp(view, bytes.data(), bytes.size()), 0);
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_EQ(MappedViewSize(view), 0u);
    EXPECT_FALSE(UnmapViewOfFile(view));
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
}

// The mapping holds the file on its own, as the desktop's does.
TEST_F(PlatformFilesTest, MappingOutlivesItsFileHandle) {
    HANDLE file = Open(DibWriteFile(dir, "b.bin", Bytes{1, 2, 3}));
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    EXPECT_TRUE(CloseHandle(file));
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(static_cast<const std::uint8_t*>(view)[2], 3);
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_TRUE(CloseHandle(mapping));
}

TEST_F(PlatformFilesTest, EmptyFileCannotBeMapped) {
    HANDLE file = Open(DibWriteFile(dir, "empty.bmp", Bytes{}));
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(PlatformFilesTest, MappingCannotReachPastTheEnd) {
    HANDLE file = Open(DibWriteFile(dir, "c.bin", Bytes(10, 0)));
    EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 11, nullptr), nullptr);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 4, nullptr);
    ASSERT_NE(mapping, nullptr);
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 5), nullptr);
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    EXPECT_EQ(MappedViewSize(view), 4u);
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(PlatformFilesTest, OnlyExistingRegularFilesOpen) {
    EXPECT_EQ(Open(dir + "/missing.bmp"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(dir), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_EQ(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    EXPECT_EQ(MapViewOfFile(nullptr, FILE_MAP_READ, 0, 0, 0), nullptr);
}

TEST(PlatformLocalMemory, ZeroInitFillsWithZeros) {
    for (std::size_t bytes : {std::size_t{0}, std::size_t{40}, std::size_t{100000}}) {
        unsigned char* block = static_cast<unsigned char*>(LocalAlloc(LMEM_ZEROINIT, bytes));
        ASSERT_NE(block, nullptr);
        for (std::size_t i = 0; i < bytes; i++) ASSERT_EQ(block[i], 0) << i;
        EXPECT_EQ(LocalFree(block), nullptr);
    }
    void* fixed = LocalAlloc(LMEM_FIXED, 0);
    EXPECT_NE(fixed, nullptr);
    EXPECT_EQ(LocalFree(fixed), nullptr);
}

}  // namespace
