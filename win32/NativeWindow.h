// A top-level window built from a window's design: every control as a peer bound to its model,
// placed at the design's pixels scaled to the window's DPI, in the design's Tab order.
#pragma once

#include "win32/Windows.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "form/Form.h"
#include "win32/Peers.h"

namespace zorvik::win32 {

class NativeWindow {
public:
    // `owner` disables and is disabled by nothing here; ShowModal does that.
    NativeWindow(form::TForm& form, std::function<std::vector<std::string>()> listPorts,
                 HWND owner = nullptr);
    ~NativeWindow();
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    [[nodiscard]] HWND Handle() const { return hwnd_; }
    [[nodiscard]] int Dpi() const { return dpi_; }
    // The peer of the control of that name, or null.
    [[nodiscard]] Peer* Find(std::string_view name) const;
    // A menu item's command id, or 0.
    [[nodiscard]] int MenuId(std::string_view name) const;
    // Where a design place lands on the screen of this window's DPI.
    [[nodiscard]] int Scale(int pixels) const;

    // The files dropped onto the window go to `open`; without one the window takes no drops.
    // the window takes no drops.
    void SetFileDrop(std::function<void(const std::vector<std::string>& paths)> open);

    // Shows the window and runs its logic's start.
    void Show();
    // Shows it above its owner, which takes no input meanwhile, until it closes.
    void RunModal();
    [[nodiscard]] bool Closed() const { return closed_; }
    // Whether the window was shrunk to its screen and its content scrolls.
    [[nodiscard]] bool Scrolled() const { return scrolled_; }
    [[nodiscard]] HWND Tips() const { return tips_; }

    // Handles a message before dispatch: the window's keys and dialog navigation. True when
    // it was taken.
    bool PreTranslate(MSG& message);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Build();
    void OrderTabs();
    void Layout();
    // Moves the client area's content as a scroll bar asks (`by` pixels for the wheel).
    void Scroll(int bar, int request, int by);
    [[nodiscard]] HFONT Font(int pixels);
    [[nodiscard]] RECT Measured(const Peer& peer);
    [[nodiscard]] Peer* PeerOf(HWND control) const;
    [[nodiscard]] bool White() const {
        return form_.Design().background == WindowBackground::White;
    }
    void TurnPage(int by);

    form::TForm& form_;
    std::function<std::vector<std::string>()> listPorts_;
    HWND owner_;
    HWND hwnd_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    bool closed_ = false;
    bool scrolled_ = false;  // shrunk to a smaller screen, the content scrolls
    MenuBar menus_;
    HACCEL keys_ = nullptr;
    HWND tips_ = nullptr;  // the hints of the window's labels
    std::function<void(const std::vector<std::string>&)> dropped_;
    std::vector<std::unique_ptr<Peer>> peers_;
    std::map<std::string, Peer*, std::less<>> byName_;
    std::map<HWND, Peer*> byHandle_;
    std::map<int, Peer*> byMenuId_;
    std::map<int, HFONT> fonts_;  // by pixel height at the current DPI; 0 for the window's
};

// Runs the thread's messages until `done` says so or WM_QUIT comes, each through its window's
// keys and dialog navigation first.
void RunMessages(const std::function<bool()>& done);

}  // namespace zorvik::win32
