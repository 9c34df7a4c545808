// The scroller texts and writer pages: lengths, endings, page layout and character set.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "show/texts.h"

namespace {

const std::string SPACES20(20, ' ');

// Space, capitals but J and Q, the digits 0 1 2 4, the double quote and ! ( ) + , - . : = > ?
// (Q appears only in the group's sign "QRX").
bool Allowed(char c) {
    if (c >= 'A' && c <= 'Z') return c != 'J';
    return std::strchr(" 0124\"!()+,-.:=>?", c) != nullptr && c != '\0';
}

void ExpectCharacterSet(const std::string& text, const std::string& name) {
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        EXPECT_TRUE(c >= 32 && c <= 91) << name << " position " << i;
        EXPECT_TRUE(Allowed(text[i])) << name << " position " << i << " '" << text[i] << "'";
    }
    size_t q = text.find('Q');
    while (q != std::string::npos) {
        EXPECT_EQ(text.compare(q, 3, "QRX"), 0) << name << " has a Q outside QRX";
        q = text.find('Q', q + 1);
    }
}

std::string Row(const WriterPage& page, int row) {
    return std::string(page.text + 20 * row, 20);
}

// The row's content from column `from` (counted from 1), with nothing but spaces around it.
void ExpectRow(const WriterPage& page, int row, int from, const std::string& content) {
    const std::string expected =
        std::string(from - 1, ' ') + content + std::string(21 - from - content.size(), ' ');
    EXPECT_EQ(Row(page, row - 1), expected) << "row " << row;
}

// A row whose content spans exactly columns from..to, letters (and `extra`) only.
void ExpectSpan(const WriterPage& page, int row, int from, int to) {
    const std::string r = Row(page, row - 1);
    EXPECT_EQ(r.find_first_not_of(' '), size_t(from - 1)) << "row " << row;
    EXPECT_EQ(r.find_last_not_of(' '), size_t(to - 1)) << "row " << row;
}

void ExpectBlank(const WriterPage& page, int row) {
    EXPECT_EQ(Row(page, row - 1), SPACES20);
}

bool Letters(const std::string& s) {
    for (char c : s)
        if (c < 'A' || c > 'Z') return false;
    return !s.empty();
}

void ExpectFreshPage(const WriterPage& page) {
    EXPECT_EQ(std::strlen(page.text), 240u);
    EXPECT_EQ(page.text[240], '\0');
    EXPECT_EQ(page.pos, 0);
    EXPECT_EQ(page.column, 0);
    EXPECT_EQ(page.row, 0);
    EXPECT_EQ(page.done, 0u);
    ExpectCharacterSet(page.text, "page");
}

} // namespace

TEST(Texts, ScrollerLengthsAndEndings) {
    const struct {
        const char* text;
        size_t length;
        const char* name;
    } texts[] = {{SCROLL_DEDICATION, 56, "dedication"},
                 {SCROLL_SINE, 120, "sine"},
                 {SCROLL_RETURN, 275, "return"},
                 {SCROLL_PART2, 289, "part 2"}};
    for (const auto& t : texts) {
        const std::string s = t.text;
        EXPECT_EQ(s.size(), t.length) << t.name;
        EXPECT_EQ(s.substr(s.size() - 20), SPACES20) << t.name;
        EXPECT_NE(s[s.size() - 21], ' ') << t.name << ": exactly 20 trailing spaces";
        EXPECT_NE(s[0], ' ') << t.name;
        ExpectCharacterSet(s, t.name);
    }
    EXPECT_STREQ(SCROLL_PAUSE, "   ");
}

TEST(Texts, SineTextIsQuotedExactly) {
    EXPECT_EQ(std::string(SCROLL_SINE), "WOOOPEEEE A SINE SCROLLER " + std::string(19, '=') +
                                            "> THATS IT " + std::string(8, '.') +
                                            " NO SOPHISTICATED MATH ALGOS IN HERE" + SPACES20);
}

TEST(Texts, ScrollerTextsUseOnlyTheirOwnMarks) {
    const struct {
        const char* text;
        const char* marks; // besides capitals and the space
    } texts[] = {{SCROLL_DEDICATION, "0"}, {SCROLL_RETURN, "\"!().:?"}, {SCROLL_PART2, "2\"!,-.:"}};
    for (const auto& t : texts)
        for (const char* p = t.text; *p; ++p)
            EXPECT_TRUE((*p >= 'A' && *p <= 'Z') || *p == ' ' || std::strchr(t.marks, *p))
                << "'" << *p << "' in " << t.text;
}

TEST(Texts, CreditsPageLayout) {
    const WriterPage& p = g_PageCredits;
    ExpectFreshPage(p);
    ExpectRow(p, 1, 1, "CREDITS FOR THIS");
    ExpectBlank(p, 2);
    EXPECT_EQ(Row(p, 2).substr(0, 14), "CODE ........ ");
    EXPECT_TRUE(Letters(Row(p, 2).substr(14)));
    EXPECT_EQ(Row(p, 3).substr(0, 10), "GFX ..... ");
    EXPECT_TRUE(Letters(Row(p, 3).substr(10)));
    EXPECT_EQ(Row(p, 4).substr(0, 8), "     OF ");
    EXPECT_TRUE(Letters(Row(p, 4).substr(8, 8)));
    ExpectSpan(p, 5, 6, 16);
    ExpectRow(p, 6, 1, "(GREAT) MUSIC BY");
    const std::string music = Row(p, 6);
    ExpectSpan(p, 7, 2, 19);
    EXPECT_TRUE(Letters(music.substr(1, 9)));
    EXPECT_EQ(music[10], ' ');
    EXPECT_EQ(std::count(music.begin() + 11, music.begin() + 19, '+'), 1);
    ExpectBlank(p, 8);
    ExpectRow(p, 9, 3, "SORRY FOR USING A");
    ExpectRow(p, 10, 5, "RIPPED MODULE");
    ExpectRow(p, 11, 2, "BUT AFTER 10 YEARS");
    ExpectRow(p, 12, 1, "WE HAD NO MUSICIANS");
}

TEST(Texts, FirstGreetingsPageLayout) {
    const WriterPage& p = g_PageGreetings1;
    ExpectFreshPage(p);
    ExpectRow(p, 1, 1, "GREETINGS");
    ExpectBlank(p, 2);
    ExpectSpan(p, 3, 1, 7);
    ExpectSpan(p, 4, 15, 20);
    ExpectSpan(p, 5, 1, 10);
    EXPECT_TRUE(std::isdigit(Row(p, 4)[8]) && std::isdigit(Row(p, 4)[9]));
    ExpectSpan(p, 6, 12, 20);
    EXPECT_EQ(Row(p, 5).substr(16), " AND");
    ExpectSpan(p, 7, 1, 14);
    const std::string twoWords = Row(p, 6).substr(0, 14);
    EXPECT_EQ(std::count(twoWords.begin(), twoWords.end(), ' '), 1);
    ExpectBlank(p, 8);
    ExpectSpan(p, 9, 2, 18);
    EXPECT_TRUE(Letters(Row(p, 8).substr(1, 9)));
    EXPECT_EQ(Row(p, 8).substr(10, 8), " .......");
    ExpectRow(p, 10, 4, "MOST OF THEM");
    ExpectRow(p, 11, 7, "ARE INACTIVE");
    ExpectRow(p, 12, 3, "ANYWAY");
}

TEST(Texts, SecondGreetingsPageIsAStaircase) {
    const WriterPage& p = g_PageGreetings2;
    ExpectFreshPage(p);
    ExpectRow(p, 1, 1, "GREETINGS 2ND PART");
    ExpectBlank(p, 2);
    ExpectBlank(p, 12);
    const int lengths[] = {6, 5, 7, 9, 13, 10, 9, 3, 6};
    for (int r = 3; r <= 11; ++r)
        ExpectSpan(p, r, r - 2, r - 3 + lengths[r - 3]);
    const std::string fifth = Row(p, 6).substr(4, 13);
    EXPECT_TRUE(Letters(fifth.substr(0, 5)));
    EXPECT_EQ(fifth.substr(5), " (SIC) !");
}

TEST(Texts, ContactPageLayout) {
    const WriterPage& p = g_PageContact;
    ExpectFreshPage(p);
    ExpectRow(p, 1, 2, "CONTACT US AT");
    for (int r : {2, 3, 4, 6, 7, 8, 9, 10})
        ExpectBlank(p, r);
    ExpectSpan(p, 5, 3, 17);
    for (char c : Row(p, 4).substr(2, 15))
        EXPECT_TRUE((c >= 'A' && c <= 'Z') || c == '.');
    ExpectRow(p, 11, 2, "QRX IN 2002");
    ExpectRow(p, 12, 12, "THE END");
}
