// tools/sheet-painter: running it again gives exactly the committed sheet and icon.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<char> Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SheetPainter : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() /
            ("sheet-painter-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    int Run(const std::string& args) {
        return std::system((std::string("\"") + SHEET_PAINTER + "\" " + args).c_str());
    }
    fs::path dir_;
};

TEST_F(SheetPainter, ReproducesTheCommittedSheetAndIcon) {
    ASSERT_EQ(Run("--bmp \"" + (dir_ / "sheet.bmp").string() + "\" --ico \"" +
                  (dir_ / "qrx.ico").string() + "\""),
              0);
    std::vector<char> painted = Read(dir_ / "sheet.bmp");
    ASSERT_EQ(painted.size(), 257078u);
    EXPECT_TRUE(painted == Read(fs::path(QRX_SOURCE_DIR) / "assets/sheet.bmp"));
    std::vector<char> icon = Read(dir_ / "qrx.ico");
    ASSERT_EQ(icon.size(), 6u + 2 * 16 + 744 + 296);
    EXPECT_TRUE(icon == Read(fs::path(QRX_SOURCE_DIR) / "assets/qrx.ico"));
}

TEST_F(SheetPainter, RefusesUnknownOptionsAndMissingFonts) {
    EXPECT_NE(Run("--bogus x"), 0);
    EXPECT_NE(Run("--font \"" + (dir_ / "none.otf").string() + "\" --bmp \"" +
                  (dir_ / "s.bmp").string() + "\""),
              0);
    EXPECT_FALSE(fs::exists(dir_ / "s.bmp"));
}

} // namespace
