// The window builder: one native window for one of the program's windows.
#include "win32/NativeWindow.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "win32/SpokenNames.h"
#include "win32/WinServices.h"
#include "win32/WinText.h"

namespace zorvik::win32 {

namespace {

constexpr const wchar_t* kWindowClass = L"ZorvikWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr int kFirstId = 100;   // above IDOK and IDCANCEL, which dialog navigation sends
constexpr int kFontPoints = 8;  // Tahoma 8 pt, the product's font

// A menu item's key from its design row ("Ctrl+O", "F1"), as an accelerator.
struct MenuKey {
    WORD key = 0;
    BYTE flags = FVIRTKEY;
    const char* shown = "";
};

std::optional<MenuKey> KeyOf(const ControlDesign& control) {
    std::string_view text = control.shortcut;
    if (control.kind != ControlKind::MenuItem || text.empty()) {
        return std::nullopt;
    }
    MenuKey key;
    key.shown = control.shortcut;
    constexpr std::string_view kCtrl = "Ctrl+";
    if (text.substr(0, kCtrl.size()) == kCtrl) {
        key.flags |= FCONTROL;
        text.remove_prefix(kCtrl.size());
    }
    if (text.size() == 1 && text[0] >= 'A' && text[0] <= 'Z') {
        key.key = static_cast<WORD>(text[0]);
    } else if (text.size() >= 2 && text[0] == 'F') {
        key.key = static_cast<WORD>(VK_F1 + std::stoi(std::string(text.substr(1))) - 1);
    } else {
        return std::nullopt;
    }
    return key;
}

bool IsContainer(ControlKind kind) {
    return kind == ControlKind::GroupBox || kind == ControlKind::TabControl ||
           kind == ControlKind::RadioGroup || kind == ControlKind::Menu;
}

NativeWindow* WindowOf(HWND hwnd) {
    wchar_t name[32] = {};
    if (hwnd == nullptr || GetClassNameW(hwnd, name, 32) == 0 ||
        std::wstring_view(name) != kWindowClass) {
        return nullptr;
    }
    return reinterpret_cast<NativeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace

NativeWindow::NativeWindow(form::TForm& form, std::function<std::vector<std::string>()> listPorts,
                           HWND owner)
    : form_(form), listPorts_(std::move(listPorts)), owner_(owner) {
    Build();
    form_.SetCloser([this] { PostMessageW(hwnd_, WM_CLOSE, 0, 0); });
}

NativeWindow::~NativeWindow() {
    form_.SetCloser({});
    for (const auto& entry : form_.Controls().Entries()) {
        entry.control->SetView({});
    }
    if (IsWindow(hwnd_)) {
        DestroyWindow(hwnd_);
    }
    if (keys_ != nullptr) {
        DestroyAcceleratorTable(keys_);
    }
    for (const auto& [pixels, font] : fonts_) {
        DeleteObject(font);
    }
}

void NativeWindow::Build() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    if (!GetClassInfoExW(instance, kWindowClass, &windowClass)) {
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = kWindowClass;
        RegisterClassExW(&windowClass);
    }
    const WindowDesign& design = form_.Design();
    hwnd_ =
        CreateWindowExW(kExStyle, kWindowClass, Wide(design.caption).c_str(), kStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, 100, 100, owner_, nullptr, instance, this);
    dpi_ = static_cast<int>(GetDpiForWindow(hwnd_));
    menus_.window = hwnd_;
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                            nullptr, instance, nullptr);
    // A long path shows whole, on several lines if need be.
    SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, Scale(600));

    // Where a design row's children go: a panel is their window; a group box, a tab control or
    // a radio group stands beside them, and they are placed from its corner.
    struct Slot {
        HWND parent;
        POINT offset;
        Peer* container;
    };
    std::map<std::string, Slot, std::less<>> slots{{design.name, {hwnd_, {0, 0}, nullptr}}};
    std::vector<ACCEL> keys;
    int id = kFirstId;
    for (const auto& entry : form_.Controls().Entries()) {
        const ControlDesign& row = *entry.design;
        if ((row.kind == ControlKind::Menu || row.kind == ControlKind::MenuItem) &&
            menus_.bar == nullptr) {
            menus_.bar = CreateMenu();
        }
        const std::optional<MenuKey> key = KeyOf(row);
        auto peer =
            MakePeer(row, *entry.control, {&menus_, listPorts_, key ? key->shown : "", tips_});
        const auto slot = slots.find(std::string_view(row.parent));
        const Slot at = slot != slots.end() ? slot->second : Slot{hwnd_, {0, 0}, nullptr};
        peer->Create(at.parent, id);
        peer->container = at.container;
        if (at.container != nullptr) {
            at.container->contents.push_back(peer.get());
        }
        peer->designPlace = {at.offset.x + row.left, at.offset.y + row.top,
                             at.offset.x + row.left + row.width,
                             at.offset.y + row.top + row.height};
        if (row.kind == ControlKind::Panel) {
            slots[row.name] = {peer->Handle(), {0, 0}, peer.get()};
        } else if (IsContainer(row.kind)) {
            slots[row.name] = {
                at.parent, {peer->designPlace.left, peer->designPlace.top}, peer.get()};
        }
        for (HWND hwnd : peer->Handles()) {
            byHandle_[hwnd] = peer.get();
        }
        if (row.kind == ControlKind::MenuItem) {
            byMenuId_[id] = peer.get();
            if (key) {
                keys.push_back({key->flags, key->key, static_cast<WORD>(id)});
            }
        }
        Peer* bound = peer.get();
        entry.control->SetView([bound] { bound->Show(); });
        byName_[row.name] = bound;
        peers_.push_back(std::move(peer));
        ++id;
    }
    if (menus_.bar != nullptr) {
        SetMenu(hwnd_, menus_.bar);
    }
    if (!keys.empty()) {
        keys_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
    }
    OrderTabs();
    for (const auto& peer : peers_) {
        const ControlDesign& row = peer->Design();
        if (*row.spokenName != '\0') {
            NameForScreenReaders(peer->Handle(), Wide(row.spokenName));
        }
        if (row.kind == ControlKind::UpDown) {
            if (const Peer* edit = Find(row.associate); edit != nullptr) {
                BindBuddy(*peer, edit->Handle());
                // The spin field is its edit, where the keys go: the edit says what it holds.
                if (*row.spokenName != '\0') {
                    NameForScreenReaders(edit->Handle(), Wide(row.spokenName));
                }
            }
        } else if (row.kind == ControlKind::GroupBox || row.kind == ControlKind::RadioGroup) {
            // Below the controls it frames, so that they are drawn over it and take the clicks;
            // a group box is no Tab stop, so the Tab order stays the design's.
            SetWindowPos(peer->Handle(), HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    Layout();
    for (const auto& peer : peers_) {
        peer->Show();
    }
}

namespace {

// The least place in the Tab order of the control or of any inside it; -1 for none.
int FirstTabStop(const Peer& peer) {
    int first = peer.Design().tabOrder;
    for (const Peer* inside : peer.contents) {
        const int stop = FirstTabStop(*inside);
        if (stop >= 0 && (first < 0 || stop < first)) {
            first = stop;
        }
    }
    return first;
}

}  // namespace

void NativeWindow::OrderTabs() {
    // Dialog navigation follows the order among siblings: each field goes to its place in the
    // design's Tab order, with what stands before it in the design (its label, which a screen
    // reader names it by) just before it.
    struct Unit {
        int tabOrder;
        std::vector<HWND> windows;
    };
    std::map<HWND, std::vector<Unit>> units;
    std::map<HWND, std::vector<HWND>> waiting;
    for (const auto& peer : peers_) {
        if (peer->Handle() == nullptr) {
            continue;
        }
        const HWND parent = GetParent(peer->Handle());
        std::vector<HWND>& before = waiting[parent];
        before.insert(before.end(), peer->Handles().begin(), peer->Handles().end());
        // A panel goes where the first field on it goes.
        const int tabOrder = FirstTabStop(*peer);
        if (tabOrder >= 0) {
            units[parent].push_back({tabOrder, std::move(before)});
            before.clear();
        }
    }
    for (auto& [parent, list] : units) {
        std::stable_sort(list.begin(), list.end(),
                         [](const Unit& a, const Unit& b) { return a.tabOrder < b.tabOrder; });
        list.push_back({0, std::move(waiting[parent])});
        HWND after = HWND_TOP;
        for (const Unit& unit : list) {
            for (HWND hwnd : unit.windows) {
                SetWindowPos(hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                after = hwnd;
            }
        }
    }
}

int NativeWindow::Scale(int pixels) const {
    return MulDiv(pixels, dpi_, USER_DEFAULT_SCREEN_DPI);
}

HFONT NativeWindow::Font(int pixels) {
    if (const auto found = fonts_.find(pixels); found != fonts_.end()) {
        return found->second;
    }
    const int height = pixels == 0 ? -MulDiv(kFontPoints, dpi_, 72) : -Scale(pixels);
    HFONT font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
    fonts_[pixels] = font;
    return font;
}

RECT NativeWindow::Measured(const Peer& peer) {
    const RECT& place = peer.designPlace;
    // Sizes scale as sizes, so that a control is as large wherever it stands.
    RECT scaled{Scale(place.left), Scale(place.top), 0, 0};
    scaled.right = scaled.left + Scale(place.right - place.left);
    scaled.bottom = scaled.top + Scale(place.bottom - place.top);
    const ControlDesign& row = peer.Design();
    if (row.width > 0 && row.height > 0) {
        return scaled;
    }
    // As wide and high as the caption needs, and a check box's box beside it.
    RECT text{};
    HDC dc = GetDC(hwnd_);
    const HGDIOBJ old = SelectObject(dc, Font(row.fontPixels));
    const std::wstring caption = WindowText(peer.Handle());
    DrawTextW(dc, caption.empty() ? L" " : caption.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    int box = 0;
    if (row.kind == ControlKind::CheckBox || row.kind == ControlKind::RadioButton) {
        box = GetSystemMetricsForDpi(SM_CXMENUCHECK, static_cast<UINT>(dpi_)) + Scale(6);
    }
    if (row.width <= 0) {
        scaled.right = scaled.left + text.right + box;
        // A group box stands beside its controls rather than holding them, so it does not cut
        // them off at its frame as a parent would: a caption wider than the box, as a wider font
        // makes it, ends inside the frame instead of painting over it.
        if (peer.container != nullptr && peer.container->Design().kind == ControlKind::GroupBox) {
            const LONG inside = Scale(peer.container->designPlace.right) - Scale(2);
            scaled.right = std::max(scaled.left, std::min(scaled.right, inside));
        }
    }
    if (row.height <= 0) {
        scaled.bottom = scaled.top + text.bottom;
    }
    return scaled;
}

void NativeWindow::Layout() {
    dpi_ = static_cast<int>(GetDpiForWindow(hwnd_));
    // Placed anew from the top left corner: the pages start unscrolled.
    SetScrollPos(hwnd_, SB_HORZ, 0, FALSE);
    SetScrollPos(hwnd_, SB_VERT, 0, FALSE);
    std::map<int, HFONT> old;
    old.swap(fonts_);
    for (const auto& peer : peers_) {
        // The captions are set before the first layout measures them.
        peer->Show();
        peer->Place(Measured(*peer), Font(peer->Design().fontPixels));
    }
    for (const auto& [pixels, font] : old) {
        DeleteObject(font);
    }
    for (const auto& peer : peers_) {
        if (peer->Design().kind != ControlKind::TabControl) {
            continue;
        }
        std::vector<RECT> pages;
        for (const Peer* page : peer->contents) {
            RECT place{};
            GetWindowRect(page->Handle(), &place);
            MapWindowPoints(nullptr, peer->Handle(), reinterpret_cast<POINT*>(&place), 2);
            pages.push_back(place);
        }
        HollowTabs(*peer, pages);
    }
    const WindowDesign& design = form_.Design();
    RECT outer{0, 0, Scale(design.clientWidth), Scale(design.clientHeight)};
    AdjustWindowRectExForDpi(&outer, kStyle, menus_.bar != nullptr, kExStyle,
                             static_cast<UINT>(dpi_));
    if (design.outerWidth > 0) {
        outer = {0, 0, Scale(design.outerWidth), Scale(design.outerHeight)};
    }
    // A screen smaller than the window gets a window its size, whose pages scroll.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
    const int width =
        std::min<int>(outer.right - outer.left, monitor.rcWork.right - monitor.rcWork.left);
    const int height =
        std::min<int>(outer.bottom - outer.top, monitor.rcWork.bottom - monitor.rcWork.top);
    scrolled_ = width < outer.right - outer.left || height < outer.bottom - outer.top;
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A bar that appears narrows the client area the other way: twice settles both.
    for (int pass = 0; pass < 2; ++pass) {
        RECT client{};
        GetClientRect(hwnd_, &client);
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = scrolled_ ? Scale(design.clientWidth) - 1 : 0;
        info.nPage = static_cast<UINT>(client.right);
        SetScrollInfo(hwnd_, SB_HORZ, &info, TRUE);
        info.nMax = scrolled_ ? Scale(design.clientHeight) - 1 : 0;
        info.nPage = static_cast<UINT>(client.bottom);
        SetScrollInfo(hwnd_, SB_VERT, &info, TRUE);
    }
}

void NativeWindow::Scroll(int bar, int request, int by) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(hwnd_, bar, &info);
    const int page = static_cast<int>(info.nPage);
    int position = info.nPos;
    switch (request) {
        case SB_LINEUP:
            position -= Scale(20);
            break;
        case SB_LINEDOWN:
            position += Scale(20);
            break;
        case SB_PAGEUP:
            position -= page;
            break;
        case SB_PAGEDOWN:
            position += page;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            position = info.nTrackPos;
            break;
        case SB_TOP:
            position = 0;
            break;
        case SB_BOTTOM:
            position = info.nMax;
            break;
        default:
            position += by;
            break;
    }
    position = std::clamp(position, 0, std::max(0, info.nMax - page + 1));
    const int moved = info.nPos - position;
    if (moved == 0) {
        return;
    }
    SetScrollPos(hwnd_, bar, position, TRUE);
    ScrollWindowEx(hwnd_, bar == SB_HORZ ? moved : 0, bar == SB_VERT ? moved : 0, nullptr, nullptr,
                   nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

Peer* NativeWindow::Find(std::string_view name) const {
    const auto found = byName_.find(name);
    return found != byName_.end() ? found->second : nullptr;
}

int NativeWindow::MenuId(std::string_view name) const {
    for (const auto& [id, peer] : byMenuId_) {
        if (name == peer->Design().name) {
            return id;
        }
    }
    return 0;
}

Peer* NativeWindow::PeerOf(HWND control) const {
    const auto found = byHandle_.find(control);
    return found != byHandle_.end() ? found->second : nullptr;
}

void NativeWindow::SetFileDrop(std::function<void(const std::vector<std::string>& paths)> open) {
    dropped_ = std::move(open);
    DragAcceptFiles(hwnd_, dropped_ ? TRUE : FALSE);
}

void NativeWindow::Show() {
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    form_.FormShow();
}

void NativeWindow::RunModal() {
    if (owner_ != nullptr) {
        EnableWindow(owner_, FALSE);
        // Over the middle of the window it belongs to.
        RECT over{};
        RECT mine{};
        GetWindowRect(owner_, &over);
        GetWindowRect(hwnd_, &mine);
        const int left = (over.left + over.right - (mine.right - mine.left)) / 2;
        const int top = (over.top + over.bottom - (mine.bottom - mine.top)) / 2;
        SetWindowPos(hwnd_, nullptr, std::max(0, left), std::max(0, top), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Show();
    RunMessages([this] { return closed_; });
    if (!closed_) {
        // The program is ending: the owner takes input again before this window goes.
        closed_ = true;
        if (owner_ != nullptr) {
            EnableWindow(owner_, TRUE);
        }
        DestroyWindow(hwnd_);
    }
}

void NativeWindow::TurnPage(int by) {
    for (const auto& peer : peers_) {
        if (peer->Design().kind == ControlKind::TabControl) {
            auto& tabs = static_cast<form::TTabControl&>(peer->Model());
            const int count = static_cast<int>(tabs.Tabs().size());
            if (count > 0) {
                tabs.UserSelect((tabs.TabIndex() + by + count) % count);
            }
            return;
        }
    }
}

bool NativeWindow::PreTranslate(MSG& message) {
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
        // Ctrl+Tab and Ctrl+Shift+Tab go round the pages, as in a tabbed dialog.
        TurnPage(GetKeyState(VK_SHIFT) < 0 ? -1 : +1);
        return true;
    }
    if (keys_ != nullptr && TranslateAcceleratorW(hwnd_, keys_, &message) != 0) {
        return true;
    }
    return IsDialogMessageW(hwnd_, &message) != FALSE;
}

LRESULT CALLBACK NativeWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<NativeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr || self->hwnd_ != hwnd) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    // An error never goes into the window system: the window's logic reports its own, and what
    // else escapes a handler is shown here, so the program goes on.
    try {
        return self->Handle(message, wParam, lParam);
    } catch (const std::exception& error) {
        MessageBoxW(hwnd, Wide(error.what()).c_str(), Wide(self->form_.Design().caption).c_str(),
                    MB_ICONERROR);
    }
    return 0;
}

LRESULT NativeWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            auto* from = reinterpret_cast<HWND>(lParam);
            Peer* peer = nullptr;
            if (from != nullptr) {
                peer = PeerOf(from);
            } else if (const auto found = byMenuId_.find(LOWORD(wParam));
                       found != byMenuId_.end()) {
                peer = found->second;
            }
            if (peer == nullptr) {
                return 0;
            }
            if (WindowBusy()) {
                // Not the user, whose input is dropped, but another program's or a screen
                // reader's action (a button's default action is its click): taken now it would
                // start a second exchange inside the one under way. The control shows its model
                // again instead.
                peer->Show();
                return 0;
            }
            peer->Command(HIWORD(wParam), from);
            return 0;
        }
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            Peer* peer = PeerOf(header.hwndFrom);
            if (peer == nullptr) {
                return 0;
            }
            if (WindowBusy() && (header.code == UDN_DELTAPOS || header.code == TCN_SELCHANGING)) {
                return TRUE;  // refused, as a click is while a command runs
            }
            return peer->Notify(header);
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (Peer* peer = PeerOf(item.hwndItem)) {
                peer->Draw(item);
            }
            return TRUE;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (Peer* peer = PeerOf(reinterpret_cast<HWND>(lParam))) {
                if (HBRUSH brush = peer->Colour(reinterpret_cast<HDC>(wParam))) {
                    return reinterpret_cast<LRESULT>(brush);
                }
            }
            if (White() && message != WM_CTLCOLOREDIT) {
                // Labels and buttons stand on the window's own white.
                SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
                return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
            }
            break;
        case WM_ERASEBKGND:
            if (White()) {
                RECT client{};
                GetClientRect(hwnd_, &client);
                FillRect(reinterpret_cast<HDC>(wParam), &client,
                         static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
                return TRUE;
            }
            break;
        case WM_SETCURSOR:
            if (WindowBusy()) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_CLOSE:
            if (form_.FormCloseQuery()) {
                closed_ = true;
                // The owner takes input again first, so that it is the window activated next.
                if (owner_ != nullptr) {
                    EnableWindow(owner_, TRUE);
                }
                DestroyWindow(hwnd_);
                // Wakes the loop that waits for this window to close.
                PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
            }
            return 0;
        case WM_DPICHANGED: {
            Layout();
            const auto& suggested = *reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_VSCROLL:
        case WM_HSCROLL:
            Scroll(message == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam), 0);
            return 0;
        case WM_MOUSEWHEEL:
            if (scrolled_) {
                Scroll(SB_VERT, -1, -GET_WHEEL_DELTA_WPARAM(wParam) * Scale(40) / WHEEL_DELTA);
                return 0;
            }
            break;
        case WM_DROPFILES: {
            auto* drop = reinterpret_cast<HDROP>(wParam);
            std::vector<std::string> paths;
            const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count; ++i) {
                std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
                path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
                paths.push_back(Utf8Of(path));
            }
            DragFinish(drop);
            if (dropped_) {
                dropped_(paths);
            }
            return 0;
        }
        case WM_DEVICECHANGE:
            // A port may have come or gone: the selectors list what is there now.
            for (const auto& peer : peers_) {
                RefreshPorts(*peer);
            }
            return TRUE;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void RunMessages(const std::function<bool()>& done) {
    MSG message{};
    while (!done()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // Left for the loops below this one, which end too.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        NativeWindow* window = WindowOf(GetAncestor(message.hwnd, GA_ROOT));
        if (window != nullptr && window->PreTranslate(message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace zorvik::win32
