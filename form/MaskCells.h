// The cells of a masked edit without the edit: which positions take a digit, what each holds, and
// the edits that typing, deleting and pasting make to them.
#pragma once

#include <string>
#include <string_view>

namespace zorvik {

class MaskCells {
public:
    // `editMask` as "mask;save literals;blank", such as "+999999999999 ;1;_": "9" (or "0") is a
    // position that takes one digit, anything else a literal; the blank character shows an empty
    // digit position ("_" when the mask names none).
    explicit MaskCells(std::u16string_view editMask);

    // Every position of the mask, in order; empty positions as the blank character.
    [[nodiscard]] const std::u16string& Text() const { return cells_; }
    [[nodiscard]] char16_t Blank() const { return blank_; }
    [[nodiscard]] int Size() const { return static_cast<int>(cells_.size()); }

    [[nodiscard]] bool IsDigitPosition(int index) const;
    // The first digit position at or after `from`, or -1.
    [[nodiscard]] int NextDigitPosition(int from) const;
    // The last digit position before `before`, or -1.
    [[nodiscard]] int PreviousDigitPosition(int before) const;

    // Puts each character at its own position: literal positions keep their literal, a digit
    // position takes a digit and becomes empty for anything else, positions past the end of
    // `text` become empty. Later characters never shift.
    void SetFullText(std::u16string_view text);
    // Empties the digit positions in [start, end).
    void Clear(int start, int end);
    // Puts the digits of `text`, anything else left out, into the digit positions from `cursor`
    // on, as far as they go. Returns the position after the last digit put.
    int PutDigits(std::u16string_view text, int cursor);

    // `count` digit positions from `first` as a number: the digits, and kEmptyDigit for an
    // empty position, with no empty positions at the end.
    [[nodiscard]] std::string Number(int first, int count) const;

private:
    std::u16string positions_;  // per position: '9' for a digit, otherwise the literal itself
    char16_t blank_ = u'_';
    std::u16string cells_;
};

// A character the digit positions take.
[[nodiscard]] constexpr bool IsMaskDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace zorvik
