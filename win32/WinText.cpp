// Conversions between the program's UTF-8 and UTF-16 and the Windows API's wide text.
#include "win32/WinText.h"

#include "win32/Windows.h"

#include "form/FormText.h"

namespace zorvik::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring Wide(std::string_view utf8) {
    return Wide(Utf16(utf8));
}

std::wstring Wide(std::u16string_view utf16) {
    return {utf16.begin(), utf16.end()};
}

std::u16string Utf16Of(std::wstring_view wide) {
    return {wide.begin(), wide.end()};
}

std::string Utf8Of(std::wstring_view wide) {
    return Utf8(Utf16Of(wide));
}

std::wstring WindowText(void* hwnd) {
    auto* window = static_cast<HWND>(hwnd);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring DialogFilter(std::string_view filter) {
    std::wstring parts = Wide(filter);
    for (wchar_t& c : parts) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    parts.push_back(L'\0');
    parts.push_back(L'\0');
    return parts;
}

}  // namespace zorvik::win32
