// One native control per model control: a peer makes it, copies the model's state onto it
// whenever the model changes, and hands the user's actions on it to the model. A peer decides
// nothing; what a click or a key does is the model's.
#pragma once

#include "win32/Windows.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "form/ControlSet.h"

namespace zorvik::win32 {

class Peer {
public:
    Peer(const ControlDesign& design, form::TControl& model) : design_(design), model_(model) {}
    virtual ~Peer() = default;
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    [[nodiscard]] const ControlDesign& Design() const { return design_; }
    [[nodiscard]] form::TControl& Model() const { return model_; }
    // The control's main window, and every window it is made of (a radio group's box and items).
    [[nodiscard]] HWND Handle() const { return handles_.empty() ? nullptr : handles_.front(); }
    [[nodiscard]] const std::vector<HWND>& Handles() const { return handles_; }

    // Makes the native control under `parent` with the control id `id`.
    virtual void Create(HWND parent, int id) = 0;
    // Places it at `place` (pixels in its native parent) in `font`.
    virtual void Place(const RECT& place, HFONT font);
    // Copies the model's whole state onto the native control, telling none of it back.
    void Show();

    // The control's notifications, by WM_COMMAND code or WM_NOTIFY header.
    virtual void Command(int /*code*/, HWND /*from*/) {}
    virtual LRESULT Notify(const NMHDR& /*header*/) { return 0; }
    // The background of a WM_CTLCOLOR* message; null for the system's.
    virtual HBRUSH Colour(HDC /*dc*/) { return nullptr; }
    // Draws an owner-drawn control.
    virtual void Draw(const DRAWITEMSTRUCT& /*item*/) {}

    // The control the design places this one in, when it is one too; enabled and visible reach
    // down from it, as they do in the product, whether or not it is the native parent.
    Peer* container = nullptr;
    std::vector<Peer*> contents;
    RECT designPlace{};  // in the product's pixels at 96 DPI, in the native parent

protected:
    virtual void ShowState() = 0;
    HWND Make(const wchar_t* windowClass, DWORD style, HWND parent, int id, DWORD exStyle = 0);
    // Sets a window's text only when it differs, so that the caret and undo survive.
    static void SetText(HWND hwnd, const std::wstring& text);
    [[nodiscard]] bool Updating() const { return updating_; }
    std::vector<HWND> handles_;

private:
    [[nodiscard]] bool ShownEnabled() const;
    [[nodiscard]] bool ShownVisible() const;

    const ControlDesign& design_;
    form::TControl& model_;
    bool updating_ = false;
};

// The window's menu bar, to which the menu peers add their menus and items.
struct MenuBar {
    HMENU bar = nullptr;
    HWND window = nullptr;
    std::vector<std::pair<std::string, HMENU>> menus;  // a menu's name and its popup
};

// What a peer needs from its window beyond its design row and model.
struct PeerNeeds {
    MenuBar* menus = nullptr;
    std::function<std::vector<std::string>()> listPorts;  // the port selector's ports, now
    std::string keyText;                                  // a menu item's key, as shown
    HWND tips = nullptr;                                  // the window's tooltips, for hints
};

// The peer of the design row's kind over its model.
[[nodiscard]] std::unique_ptr<Peer> MakePeer(const ControlDesign& design, form::TControl& model,
                                             const PeerNeeds& needs);

// The name of the window class panels are made of; RegisterPanelClass makes it once.
inline constexpr const wchar_t* kPanelClass = L"ZorvikPanel";
void RegisterPanelClass();

// Binds an up-down peer to its edit's window; other peers ignore it.
void BindBuddy(Peer& upDown, HWND edit);
// Ports re-read (a port selector; others ignore it).
void RefreshPorts(Peer& peer);
// Cuts a tab control's pages' places out of it, so that the pages above show and take input.
void HollowTabs(Peer& tabs, const std::vector<RECT>& pages);

}  // namespace zorvik::win32
