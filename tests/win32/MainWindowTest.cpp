// The windows as built: every control of their design is there, at its place scaled to the
// window's DPI, with its caption, and Tab reaches the fields in the design's order; the main
// window's keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "win32/NativeWindow.h"
#include "win32/WinText.h"

namespace zorvik::win32 {
namespace {

bool Captioned(ControlKind kind) {
    return kind == ControlKind::Label || kind == ControlKind::Button ||
           kind == ControlKind::CheckBox || kind == ControlKind::GroupBox ||
           kind == ControlKind::RadioGroup;
}

// Every control of the design at its scaled place with its caption, the Tab stops among each
// parent's children in the design's order.
void HoldsItsDesign(const NativeWindow& window, const WindowDesign& design) {
    std::map<HWND, std::vector<const ControlDesign*>> stops;  // Tab stops by native parent
    for (const ControlDesign& row : design.controls) {
        if (row.kind == ControlKind::Menu || row.kind == ControlKind::MenuItem) {
            EXPECT_NE(row.kind == ControlKind::MenuItem ? window.MenuId(row.name) : 1, 0)
                << row.name;
            continue;
        }
        const Peer* peer = window.Find(row.name);
        ASSERT_NE(peer, nullptr) << row.name;
        HWND hwnd = peer->Handle();
        ASSERT_TRUE(IsWindow(hwnd)) << row.name;
        if (Captioned(row.kind)) {
            EXPECT_EQ(Utf8Of(WindowText(hwnd)), CaptionLines(row).front()) << row.name;
        }
        RECT place{};
        GetWindowRect(hwnd, &place);
        MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, window.Scale(peer->designPlace.left)) << row.name;
        EXPECT_EQ(place.top, window.Scale(peer->designPlace.top)) << row.name;
        if (row.width > 0 && row.kind != ControlKind::ComComboBox) {
            EXPECT_EQ(place.right - place.left, window.Scale(row.width)) << row.name;
            EXPECT_EQ(place.bottom - place.top, window.Scale(row.height)) << row.name;
        }
        // A radio button is a Tab stop while it is checked, by the system's own rule.
        if (row.tabOrder >= 0 && row.kind != ControlKind::RadioGroup &&
            row.kind != ControlKind::RadioButton) {
            EXPECT_TRUE(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_TABSTOP) << row.name;
        }
        if (row.tabOrder >= 0) {
            stops[GetParent(hwnd)].push_back(&row);
        }
    }
    // Dialog navigation follows the windows' order among siblings.
    for (const auto& [parent, rows] : stops) {
        int last = -1;
        for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            for (const ControlDesign* row : rows) {
                // A radio group is reached at its items; its box stands below them.
                const Peer* peer = window.Find(row->name);
                if (peer->Handles().at(row->kind == ControlKind::RadioGroup ? 1 : 0) == child) {
                    EXPECT_GT(row->tabOrder, last) << row->name;
                    last = row->tabOrder;
                }
            }
        }
    }
    EXPECT_EQ(Utf8Of(WindowText(window.Handle())), design.caption);
}

TEST(MainWindow, HoldsEveryControlOfItsDesign) {
    form::TForm main(Form1Design());
    NativeWindow window(main, [] { return std::vector<std::string>{}; });
    HoldsItsDesign(window, Form1Design());
    // Tab itself, from the first field round to it again, reaches the fields shown in order.
    std::map<HWND, int> orders;
    for (const ControlDesign& row : Form1Design().controls) {
        if (const Peer* peer = window.Find(row.name); peer != nullptr && row.tabOrder >= 0) {
            for (HWND hwnd : peer->Handles()) {
                orders[hwnd] = row.tabOrder;
            }
        }
    }
    HWND first = GetNextDlgTabItem(window.Handle(), nullptr, FALSE);
    int reached = 0;
    for (HWND at = first, next = nullptr; at != nullptr && next != first && reached < 500;
         at = next, ++reached) {
        next = GetNextDlgTabItem(window.Handle(), at, FALSE);
        if (next != first) {
            EXPECT_LT(orders[at], orders[next]) << Utf8Of(WindowText(next));
        }
    }
    EXPECT_GT(reached, 10);
    RECT outer{};
    GetWindowRect(window.Handle(), &outer);
    // The size held, as far as the screen's work area lets it be (Wine's null screen is
    // 1024 × 768).
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window.Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    const int screenWidth = monitor.rcWork.right - monitor.rcWork.left;
    const int screenHeight = monitor.rcWork.bottom - monitor.rcWork.top;
    EXPECT_EQ(outer.right - outer.left,
              std::min(window.Scale(Form1Design().outerWidth), screenWidth));
    EXPECT_EQ(outer.bottom - outer.top,
              std::min(window.Scale(Form1Design().outerHeight), screenHeight));
    // Shrunk to the screen, the content scrolls, and what scrolls is all there is.
    EXPECT_EQ(window.Scrolled(), window.Scale(Form1Design().outerHeight) > screenHeight ||
                                     window.Scale(Form1Design().outerWidth) > screenWidth);
    if (window.Scrolled()) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE;
        GetScrollInfo(window.Handle(), SB_VERT, &info);
        EXPECT_EQ(info.nMax + 1, window.Scale(Form1Design().clientHeight));
    }
}

TEST(OtherWindows, HoldEveryControlOfTheirDesign) {
    for (const WindowDesign* design : {&Form2Design(), &Form3Design(), &Form4Design()}) {
        SCOPED_TRACE(design->name);
        form::TForm other(*design);
        NativeWindow window(other, {});
        HoldsItsDesign(window, *design);
        RECT size{};
        if (design->outerWidth > 0) {
            GetWindowRect(window.Handle(), &size);
            EXPECT_EQ(size.right - size.left, window.Scale(design->outerWidth));
            EXPECT_EQ(size.bottom - size.top, window.Scale(design->outerHeight));
        } else {
            GetClientRect(window.Handle(), &size);
            EXPECT_EQ(size.right, window.Scale(design->clientWidth));
            EXPECT_EQ(size.bottom, window.Scale(design->clientHeight));
        }
    }
}

// A key pressed with Ctrl held or not, as the message loop hands it to the window.
bool Press(NativeWindow& window, WPARAM key, bool control) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG message{window.Handle(), WM_KEYDOWN, key, 0, 0, {}};
    const bool taken = window.PreTranslate(message);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    // An accelerator posts nothing: it sends its command at once.
    return taken;
}

TEST(MainWindow, TheLinuxWindowsKeys) {
    form::TForm main(Form1Design());
    NativeWindow window(main, {});
    window.Show();
    std::map<std::string, int> clicks;
    for (const char* item : {"Otwrz1", "Zapisz1", "Wyjcie1", "Info1", "Aktualizacja"}) {
        main.Controls().Get<form::TMenuItem>(item).OnClick = [&clicks, item] { ++clicks[item]; };
    }
    EXPECT_TRUE(Press(window, 'O', true));
    EXPECT_TRUE(Press(window, 'S', true));
    EXPECT_TRUE(Press(window, 'Q', true));
    EXPECT_TRUE(Press(window, VK_F1, false));
    EXPECT_EQ(clicks, (std::map<std::string, int>{
                          {"Otwrz1", 1}, {"Zapisz1", 1}, {"Wyjcie1", 1}, {"Info1", 1}}));
    // Ctrl+Tab turns the page, round from the last to the first.
    auto& pages = main.Controls().Get<form::TTabControl>("TabControl1");
    for (const int expected : {1, 2, 0}) {
        EXPECT_TRUE(Press(window, VK_TAB, true));
        EXPECT_EQ(pages.TabIndex(), expected);
    }
}

}  // namespace
}  // namespace zorvik::win32
