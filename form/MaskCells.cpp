// The cells of a masked edit.
#include "form/MaskCells.h"

#include <algorithm>

#include "config/Configuration.h"

namespace zorvik {

namespace {

constexpr char16_t kDigitPlace = u'9';          // a mask position that takes one optional digit
constexpr char16_t kRequiredDigitPlace = u'0';  // the same, for masks that mark digits with 0
constexpr char16_t kFieldSeparator = u';';

}  // namespace

MaskCells::MaskCells(std::u16string_view editMask) {
    // "mask;save literals;blank": the last two fields are read from the right, since the mask
    // itself may hold a ';' only in theory.
    std::u16string_view mask = editMask;
    const auto last = editMask.rfind(kFieldSeparator);
    const auto middle = last == std::u16string_view::npos || last == 0
                            ? std::u16string_view::npos
                            : editMask.rfind(kFieldSeparator, last - 1);
    if (middle != std::u16string_view::npos) {
        mask = editMask.substr(0, middle);
        if (last + 1 < editMask.size()) {
            blank_ = editMask[last + 1];
        }
    }
    for (const char16_t c : mask) {
        positions_.push_back(c == kRequiredDigitPlace ? kDigitPlace : c);
    }
    for (int i = 0; i < static_cast<int>(positions_.size()); ++i) {
        cells_.push_back(IsDigitPosition(i) ? blank_ : positions_[static_cast<std::size_t>(i)]);
    }
}

bool MaskCells::IsDigitPosition(int index) const {
    return index >= 0 && index < static_cast<int>(positions_.size()) &&
           positions_[static_cast<std::size_t>(index)] == kDigitPlace;
}

int MaskCells::NextDigitPosition(int from) const {
    for (int i = std::max(from, 0); i < static_cast<int>(positions_.size()); ++i) {
        if (IsDigitPosition(i)) {
            return i;
        }
    }
    return -1;
}

int MaskCells::PreviousDigitPosition(int before) const {
    for (int i = std::min(before, static_cast<int>(positions_.size())) - 1; i >= 0; --i) {
        if (IsDigitPosition(i)) {
            return i;
        }
    }
    return -1;
}

void MaskCells::SetFullText(std::u16string_view text) {
    for (std::size_t i = 0; i < positions_.size(); ++i) {
        if (!IsDigitPosition(static_cast<int>(i))) {
            cells_[i] = positions_[i];
        } else {
            cells_[i] = i < text.size() && IsMaskDigit(text[i]) ? text[i] : blank_;
        }
    }
}

void MaskCells::Clear(int start, int end) {
    for (int i = std::max(start, 0); i < end && i < Size(); ++i) {
        if (IsDigitPosition(i)) {
            cells_[static_cast<std::size_t>(i)] = blank_;
        }
    }
}

int MaskCells::PutDigits(std::u16string_view text, int cursor) {
    for (const char16_t c : text) {
        if (!IsMaskDigit(c)) {
            continue;  // a pasted "+48 601 ..." keeps its digits
        }
        const int at = NextDigitPosition(cursor);
        if (at < 0) {
            break;
        }
        cells_[static_cast<std::size_t>(at)] = c;
        cursor = at + 1;
    }
    return cursor;
}

std::string MaskCells::Number(int first, int count) const {
    std::string number;
    for (int i = 0; i < count; ++i) {
        const int position = first + i;
        const char16_t c = position < Size() ? cells_[static_cast<std::size_t>(position)] : u' ';
        number.push_back(IsMaskDigit(c) ? static_cast<char>(c) : kEmptyDigit);
    }
    while (!number.empty() && number.back() == kEmptyDigit) {
        number.pop_back();
    }
    return number;
}

}  // namespace zorvik
