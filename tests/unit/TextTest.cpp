
#include <tuple>

#include "tests/support/BarFixture.h"

namespace {

constexpr WCHAR kHigh = 0xD83D;
constexpr WCHAR kLow = 0xDCF7;

TEST(TextTest, ACutKeepsAPairThatEndsAtItAndTakesNoneThatItWouldSplit) {
    const std::wstring pair{L'a', kHigh, kLow, L'b'};
    const std::tuple<std::wstring, size_t, size_t> cases[] = {
        {L"", 0, 0},
        {L"", 4, 0},
        {L"abc", 0, 0},
        {L"abc", 2, 2},
        {L"abc", 3, 3},
        {L"abc", 9, 3},
        // A pair across the cut goes whole; one that ends at the cut stays whole.
        {pair, 1, 1},
        {pair, 2, 1},
        {pair, 3, 3},
        {pair, 4, 4},
        {{kHigh, kLow}, 1, 0},
        {{kHigh, kLow}, 2, 2},
        // The first and last units of either half.
        {{L'a', 0xD800, 0xDC00, L'b'}, 2, 1},
        {{L'a', 0xD800, 0xDC00, L'b'}, 3, 3},
        {{L'a', 0xDBFF, 0xDFFF, L'b'}, 2, 1},
        {{L'a', 0xDBFF, 0xDFFF, L'b'}, 3, 3},
        // Units next to the surrogates, and a second half alone, are characters of their own.
        {{L'a', 0xD7FF, L'b'}, 2, 2},
        {{L'a', 0xDC00, L'b'}, 2, 2},
        {{L'a', 0xDFFF, L'b'}, 2, 2},
        {{L'a', 0xE000, L'b'}, 2, 2},
        // A half pair the text itself ends in is no cut's doing.
        {{L'a', kHigh}, 2, 2},
        {{L'a', kHigh}, 3, 2},
    };
    for (const auto& [text, most, length] : cases) {
        EXPECT_EQ(CutLength(text, most), length) << Utf8FromUtf16(text) << " cut to " << most;
    }
}

using CodePageTest = OsTest;

TEST_F(CodePageTest, NarrowTextTakesTheBytesItsCodePageGivesAndACutKeepsWholeCharacters) {
    // Text in the program's own 8-bit form, and back; what the code page lacks comes back as '?'.
    struct Case {
        bool doubleByte;
        const char* text;
        size_t bytes;
        const char* back;
    };
    const Case cases[] = {
        {false, "", 0, ""},
        {false, "C:\\Tools", 8, "C:\\Tools"},
        {false, "ÿé", 2, "ÿé"},
        {false, "Фото", 4, "????"},
        {false, "a📷b", 3, "a?b"},
        {true, "", 0, ""},
        {true, "C:\\Tools", 8, "C:\\Tools"},
        {true, "ÿé", 4, "ÿé"},
        {true, "Ф", 2, "Ф"},
        {true, "Фото", 8, "Фото"},
        {true, "C:\\Фото\\中", 14, "C:\\Фото\\中"},
        // U+5E04 and above lie past the code page's last pair.
        {true, "中文", 3, "中?"},
        {true, "a📷b", 3, "a?b"},
    };
    for (const Case& c : cases) {
        os.UseDoubleByteCodePage(c.doubleByte);
        const std::string narrow = Narrow(W(c.text));
        EXPECT_EQ(narrow.size(), c.bytes) << c.text << " " << c.doubleByte;
        EXPECT_EQ(Utf8FromUtf16(Widen(narrow)), c.back) << c.text << " " << c.doubleByte;
    }
    // A cut takes as many whole characters as fit, whatever each one takes.
    const std::tuple<bool, const char*, size_t, const char*> cuts[] = {
        {false, "abc", 2, "ab"},   {false, "Фото", 3, "Фот"}, {false, "a📷b", 1, "a"},     {false, "a📷b", 2, "a📷"},
        {true, "abc", 2, "ab"},    {true, "Фото", 3, "Ф"},    {true, "Фото", 4, "Фо"},    {true, "aФо", 2, "a"},
        {true, "aФо", 3, "aФ"},    {true, "a📷b", 1, "a"},     {true, "a📷b", 2, "a📷"},     {true, "Фото", 0, ""},
        {false, "a📷bc", 3, "a📷b"}, {true, "a📷bc", 3, "a📷b"},  {true, "Фото", 99, "Фото"},
    };
    for (const auto& [doubleByte, text, most, kept] : cuts) {
        os.UseDoubleByteCodePage(doubleByte);
        EXPECT_EQ(NarrowCut(W(text), most), Narrow(W(kept))) << text << " in " << most << " " << doubleByte;
    }
    // Without the code page's conversions each character outside ASCII is one '?'.
    os.UseDoubleByteCodePage(true);
    os.FailCall("WideCharToMultiByte");
    EXPECT_EQ(Narrow(W("aФо")), "a??");
    EXPECT_EQ(NarrowCut(W("aФо"), 2), "a?");
}

using ToolTipCutTest = BarTest;

TEST_F(ToolTipCutTest, ANarrowTipOfTextThatTakesTwoBytesACharacterEndsInAWholeOne) {
    os.UseDoubleByteCodePage(true);
    CreateBar();
    constexpr int kId = 77;
    const HWND child = os.CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 9, 9, bar->m_hWnd, kId, nullptr);
    // 1023 bytes hold 511 letters of two bytes and one byte more, which is no letter's half.
    for (const auto& [start, letters] : {std::pair("", 511), {"", 512}, {"", 600}, {"a", 511}, {"a", 512}}) {
        std::string text = start;
        for (int i = 0; i < letters; ++i) {
            text += "Ф";
        }
        const std::wstring whole = W(text);
        os.SetWindowTextW(child, whole.c_str());
        NMTTDISPINFOA request{};
        request.hdr = NMHDR{bar->m_hWnd, kId, static_cast<UINT>(TTN_NEEDTEXTA)};
        os.SendMessageA(bar->m_hWnd, WM_NOTIFY, kId, reinterpret_cast<LPARAM>(&request));
        ASSERT_NE(request.lpszText, nullptr);
        const std::wstring shown = Widen(request.lpszText);
        ASSERT_LE(shown.size(), whole.size()) << letters;
        EXPECT_EQ(whole.substr(0, shown.size()), shown) << letters;
        EXPECT_LE(Narrow(shown).size(), 1023u) << letters;
        EXPECT_TRUE(shown == whole || Narrow(whole.substr(0, shown.size() + 1)).size() > 1023) << letters;
    }
}

}  // namespace
