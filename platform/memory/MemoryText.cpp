// Text in the in-memory backend: UTF-8 for tests, UTF-16 inside, and the
// model's ANSI code page.
#include <algorithm>
#include <cctype>

#include "platform/memory/MemoryOs.h"

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

bool EqualNoCase(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

std::wstring Utf16FromUtf8(const std::string& text) {
    std::wstring units;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80                   ? 1
                              : lead >= 0xC2 && lead < 0xE0 ? 2
                              : lead >= 0xE0 && lead < 0xF0 ? 3
                              : lead >= 0xF0 && lead < 0xF5 ? 4
                                                            : 0;
        unsigned long code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool whole = length != 0 && i + length <= text.size();
        for (size_t k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            whole = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        const unsigned long least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!whole || code < least[length] || code > 0x10FFFF) {
            units.push_back(0xFFFD);
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            units.push_back(static_cast<WCHAR>(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(static_cast<WCHAR>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<WCHAR>(code));
        }
        i += length;
    }
    return units;
}

std::string Utf8FromUtf16(const std::wstring& text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned long code = static_cast<unsigned long>(text[i]) & 0xFFFF;
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + ((static_cast<unsigned long>(text[i + 1]) & 0xFFFF) - 0xDC00);
            ++i;
        }
        if (code < 0x80) {
            bytes.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            bytes.push_back(static_cast<char>(0xC0 | (code >> 6)));
            bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            bytes.push_back(static_cast<char>(0xE0 | (code >> 12)));
            bytes.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            bytes.push_back(static_cast<char>(0xF0 | (code >> 18)));
            bytes.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return bytes;
}

namespace {

// The double-byte code page: a lead byte and a trail byte for each character
// outside ASCII, the pairs taken in order from U+0080.
bool g_doubleByteCodePage = false;
constexpr unsigned kFirstLead = 0x81;
constexpr unsigned kLeads = 0xFE - kFirstLead + 1;
constexpr unsigned kTrails = (0x7E - 0x40 + 1) + (0xFE - 0x80 + 1);
constexpr unsigned long kFirstDoubleByte = 0x80;
constexpr unsigned long kPastDoubleByte = kFirstDoubleByte + kLeads * kTrails;

unsigned TrailByte(unsigned index) { return index <= 0x7E - 0x40 ? 0x40 + index : 0x80 + index - (0x7E - 0x40 + 1); }

// The index of a trail byte, or kTrails for a byte that is none.
unsigned TrailIndex(unsigned byte) {
    return byte >= 0x40 && byte <= 0x7E   ? byte - 0x40
           : byte >= 0x80 && byte <= 0xFE ? byte - 0x80 + (0x7E - 0x40 + 1)
                                          : kTrails;
}

}  // namespace

void SetDoubleByteCodePage(bool on) { g_doubleByteCodePage = on; }

std::wstring WideFromAnsi(const std::string& text) {
    std::wstring wide;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (!g_doubleByteCodePage || byte < 0x80) {
            wide.push_back(static_cast<WCHAR>(byte));
            continue;
        }
        const unsigned trail = i + 1 < text.size() ? TrailIndex(static_cast<unsigned char>(text[i + 1])) : kTrails;
        if (byte < kFirstLead || byte >= kFirstLead + kLeads || trail == kTrails) {
            // A lead byte without its trail, or a byte that leads nothing.
            wide.push_back(L'?');
            continue;
        }
        wide.push_back(static_cast<WCHAR>(kFirstDoubleByte + (byte - kFirstLead) * kTrails + trail));
        ++i;
    }
    return wide;
}

std::string AnsiFromWide(const std::wstring& text) {
    std::string ansi;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned long>(text[i]);
        // A surrogate pair is one character, so one '?'.
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            ++i;
        }
        if (!g_doubleByteCodePage || c < kFirstDoubleByte) {
            ansi.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
        } else if (c < kPastDoubleByte) {
            const auto index = static_cast<unsigned>(c - kFirstDoubleByte);
            ansi.push_back(static_cast<char>(kFirstLead + index / kTrails));
            ansi.push_back(static_cast<char>(TrailByte(index % kTrails)));
        } else {
            ansi.push_back('?');
        }
    }
    return ansi;
}

WCHAR UpperUnit(WCHAR c) {
    const bool latin = (c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7);
    const bool greek = c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2;
    const bool cyrillic = c >= 0x430 && c <= 0x44F;
    if (latin || greek || cyrillic) {
        return static_cast<WCHAR>(c - 0x20);
    }
    return c >= 0x450 && c <= 0x45F ? static_cast<WCHAR>(c - 0x50) : c;
}
