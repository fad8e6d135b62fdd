// Message boxes, behind one interface so that the windows can be tested without a screen.
#pragma once

#include <string>

namespace zorvik {

// Message box flags, as the product uses them.
constexpr int kMbError = 16;        // error icon, OK button
constexpr int kMbQuestion = 36;     // question icon, Yes and No buttons
constexpr int kMbInformation = 64;  // information icon, OK button

// Message box results.
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Shows a modal message box (texts in UTF-8) and returns the button pressed.
    virtual int MessageBox(const std::string& text, const std::string& caption, int flags) = 0;
};

}  // namespace zorvik
