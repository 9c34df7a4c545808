// The program icon (assets/qrx.ico) and the resource script's icon group and version record.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace {

std::string ReadText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t U32(const std::string& d, size_t at) {
    return uint8_t(d[at]) | uint8_t(d[at + 1]) << 8 | uint8_t(d[at + 2]) << 16 |
           uint32_t(uint8_t(d[at + 3])) << 24;
}
uint16_t U16(const std::string& d, size_t at) {
    return static_cast<uint16_t>(uint8_t(d[at]) | uint8_t(d[at + 1]) << 8);
}

TEST(SheetIcon, HoldsA32And16PixelImageIn16Colours) {
    std::string ico = ReadText(QRX_SOURCE_DIR "/assets/qrx.ico");
    ASSERT_GE(ico.size(), 6u + 32u);
    EXPECT_EQ(U16(ico, 0), 0);
    EXPECT_EQ(U16(ico, 2), 1); // icon, not cursor
    ASSERT_EQ(U16(ico, 4), 2);
    const int sizes[2] = {32, 16};
    size_t end = 6 + 2 * 16;
    for (int i = 0; i < 2; ++i) {
        size_t e = 6 + 16 * i;
        const int size = sizes[i];
        EXPECT_EQ(uint8_t(ico[e]), size);
        EXPECT_EQ(uint8_t(ico[e + 1]), size);
        EXPECT_EQ(uint8_t(ico[e + 2]), 16); // colours
        EXPECT_EQ(U16(ico, e + 6), 4);      // bits per pixel
        uint32_t bytes = U32(ico, e + 8), at = U32(ico, e + 12);
        EXPECT_EQ(at, end);
        // Header, 16-entry palette, 4-bit colour rows and 1-bit mask rows, each padded to 4.
        const uint32_t colourRow = (size / 2 + 3) / 4 * 4, maskRow = (size / 8 + 3) / 4 * 4;
        EXPECT_EQ(bytes, 40 + 64 + (colourRow + maskRow) * size);
        ASSERT_LE(at + bytes, ico.size());
        EXPECT_EQ(U32(ico, at), 40u);
        EXPECT_EQ(U32(ico, at + 4), uint32_t(size));
        EXPECT_EQ(U32(ico, at + 8), uint32_t(2 * size)); // colour image and mask
        EXPECT_EQ(U16(ico, at + 14), 4);
        end = at + bytes;
    }
    EXPECT_EQ(end, ico.size());
}

TEST(SheetIcon, ScriptNamesTheIconGroupAndTheVersionRecord) {
    std::string rc = ReadText(QRX_SOURCE_DIR "/assets/qrx.rc");
    EXPECT_NE(rc.find("LANGUAGE 7, 1"), std::string::npos);
    EXPECT_TRUE(std::regex_search(rc, std::regex(R"(\n101 ICON "qrx\.ico")")));
    EXPECT_TRUE(std::regex_search(
        rc, std::regex(R"(\n1 VERSIONINFO FILEVERSION 1,0,0,1 PRODUCTVERSION 1,0,0,1 )")));
    EXPECT_NE(rc.find(R"(VALUE "FileVersion", "0.01")"), std::string::npos);
    EXPECT_NE(rc.find(R"(VALUE "ProductVersion", "0.01")"), std::string::npos);
    EXPECT_NE(rc.find(R"(VALUE "Translation", 0x0407, 1200)"), std::string::npos);
}

} // namespace
