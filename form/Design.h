// The page design as data: every control of the four windows with its kind, name, parent,
// caption, place and size, Tab order and the name a screen reader announces. One description for
// every face: a test holds the Qt window's controls to it.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "form/ControlStates.h"

namespace zorvik {

// The telephone mask: a plus sign, twelve optional digits, a closing blank; "_" for an empty digit.
constexpr const char* kTelephoneMask = "+999999999999 ;1;_";
constexpr int kTelephoneFirstDigit = 1;  // the first digit position, after the plus
// The SIM PIN mask: five optional digits.
constexpr const char* kPinMask = "99999;1;_";
constexpr int kPinFirstDigit = 0;

enum class ControlKind {
    Menu,
    MenuItem,
    Label,
    Button,
    CheckBox,
    RadioButton,
    RadioGroup,
    Edit,
    MaskEdit,
    UpDown,
    GroupBox,
    Panel,
    TabControl,
    ListBox,
    ComComboBox,
    ProgressBar,
    Image,
};

// One control. Positions are left, top inside the parent; a width or height of 0 is as the
// caption needs. A parent that names the window is its client area (for a menu, its menu bar).
struct ControlDesign {
    ControlKind kind;
    const char* name;
    const char* parent;
    // The caption or an edit's start text; a radio group's title then its items, a tab control's
    // tabs, one a line (CaptionLines); "&" before the letter that opens a menu or picks its item.
    const char* caption = "";
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int tabOrder = -1;            // place in the window's Tab order; -1: not reached by Tab
    const char* spokenName = "";  // what a screen reader says when the caption does not name it
    bool hidden = false;          // hidden at start (the pages' panels: all but tab 0's)
    CheckState state = CheckState::Unchecked;  // a check box; a radio button: Checked or not
    bool captionLeft = false;                  // a check box whose caption stands left of the box
    const char* mask = "";                     // a masked edit's "mask;save literals;blank"
    int maxLength = 0;                         // an edit's longest text; 0: no limit
    bool switchedOn = true;      // the look: an edit writable in the window colour, or not
    bool readOnly = false;       // an edit read-only in both looks (a spin box's)
    char16_t passwordChar = 0;   // shown for each character; 0: the text in clear
    bool alignRight = false;     // an edit's text right-aligned
    bool centred = false;        // an edit's text centred
    const char* associate = "";  // an up-down's edit
    TUDAlignButton side = TUDAlignButton::udLeft;  // which side of the edit the arrows stand
    int min = 0;  // an up-down's range, start and step; a progress bar's range
    int max = 0;
    int position = 0;
    int increment = 0;
    int columns = 1;     // a radio group's columns
    int itemIndex = -1;  // a radio group's selected item
    int fontPixels = 0;  // a label in a larger font than the window's
    // A menu item's key from anywhere in its window: "Ctrl+" and a letter, or "F1" to "F12".
    const char* shortcut = "";
};

// What a window's client area is painted in, behind its controls.
enum class WindowBackground { ButtonFace, White };

struct WindowDesign {
    const char* name;
    const char* caption;
    int clientWidth;  // the client area, below any menu
    int clientHeight;
    int outerWidth;  // the size the window holds, frame included; 0: none held
    int outerHeight;
    std::span<const ControlDesign> controls;  // parents before their children
    WindowBackground background = WindowBackground::ButtonFace;
};

[[nodiscard]] const WindowDesign& Form1Design();
[[nodiscard]] const WindowDesign& Form2Design();
[[nodiscard]] const WindowDesign& Form3Design();
[[nodiscard]] const WindowDesign& Form4Design();

// The control of that name in the window, or null.
[[nodiscard]] const ControlDesign* FindControl(const WindowDesign& window, std::string_view name);

// The caption's lines.
[[nodiscard]] std::vector<std::string_view> CaptionLines(const ControlDesign& control);

// The SMS centre list's fixed rows, in the product's order.
[[nodiscard]] std::span<const char* const> SmsCentreRows();

}  // namespace zorvik
