// Text as the Windows API takes it: UTF-16 in wchar_t, which is 16 bits wide on Windows.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::win32 {

[[nodiscard]] std::wstring Wide(std::string_view utf8);
[[nodiscard]] std::wstring Wide(std::u16string_view utf16);
[[nodiscard]] std::u16string Utf16Of(std::wstring_view wide);
[[nodiscard]] std::string Utf8Of(std::wstring_view wide);

// A window's whole text.
[[nodiscard]] std::wstring WindowText(void* hwnd);

// "Description|*.ext|..." as the product writes a filter, in the file dialogs' form: each part
// ended by a NUL, the whole by a second one.
[[nodiscard]] std::wstring DialogFilter(std::string_view filter);

}  // namespace zorvik::win32
