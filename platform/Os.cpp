#include "platform/Os.h"

#include <algorithm>

namespace {
OsServices* g_services = nullptr;
}

OsServices& Os() { return *g_services; }

void SetOs(OsServices* services) { g_services = services; }

std::wstring Widen(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const auto length = static_cast<int>(text.size());
    std::wstring wide(text.size(), L'\0');
    const int converted = Os().sys.MultiByteToWideChar(CP_ACP, text.data(), length, &wide[0], length);
    if (converted > 0 && converted <= length) {
        wide.resize(static_cast<size_t>(converted));
        return wide;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        wide[i] = static_cast<WCHAR>(static_cast<unsigned char>(text[i]));
    }
    return wide;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const auto length = static_cast<int>(text.size());
    // A character may take more than one byte: the code page says how many.
    const int needed = Os().sys.WideCharToMultiByte(CP_ACP, text.data(), length, nullptr, 0);
    std::string narrow(static_cast<size_t>(std::max(needed, length)), '\0');
    const int converted =
        Os().sys.WideCharToMultiByte(CP_ACP, text.data(), length, &narrow[0], static_cast<int>(narrow.size()));
    if (converted > 0 && static_cast<size_t>(converted) <= narrow.size()) {
        narrow.resize(static_cast<size_t>(converted));
        return narrow;
    }
    narrow.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        narrow[i] = text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    }
    return narrow;
}

size_t CutLength(const std::wstring& text, size_t most) {
    size_t length = std::min(text.size(), most);
    if (length < text.size() && length > 0 && text[length - 1] >= 0xD800 && text[length - 1] < 0xDC00) {
        --length;
    }
    return length;
}

std::string NarrowCut(const std::wstring& text, size_t most) {
    std::string narrow = Narrow(text);
    if (narrow.size() <= most) {
        return narrow;
    }
    // A code page gives a text the bytes of its characters in turn: whole
    // characters are added, a surrogate pair as one, while they fit.
    narrow.clear();
    for (size_t start = 0; start < text.size();) {
        const size_t end = CutLength(text, start + 1) == start ? start + 2 : start + 1;
        const std::string character = Narrow(text.substr(start, end - start));
        if (narrow.size() + character.size() > most) {
            break;
        }
        narrow += character;
        start = end;
    }
    return narrow;
}
