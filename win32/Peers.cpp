// The peers of every kind of control.
#include "win32/Peers.h"

#include <commctrl.h>

#include <algorithm>

#include "form/Artwork.h"
#include "win32/WinText.h"

namespace zorvik::win32 {

namespace {

constexpr COLORREF Win(ArtColour colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

// The messages a list box or a drop-down list takes its items and selection by, and the
// notification of the user's pick.
struct ListMessages {
    UINT reset;
    UINT add;
    UINT select;
    UINT selected;
    int picked;
};
constexpr ListMessages kListBoxMessages{LB_RESETCONTENT, LB_ADDSTRING, LB_SETCURSEL, LB_GETCURSEL,
                                        LBN_SELCHANGE};
constexpr ListMessages kDropDownMessages{CB_RESETCONTENT, CB_ADDSTRING, CB_SETCURSEL, CB_GETCURSEL,
                                         CBN_SELCHANGE};

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

// The check state as BM_SETCHECK takes it; BST_INDETERMINATE is drawn greyed by the control.
WPARAM CheckOf(CheckState state) {
    switch (state) {
        case CheckState::Checked:
            return BST_CHECKED;
        case CheckState::Grey:
            return BST_INDETERMINATE;
        case CheckState::Unchecked:
            break;
    }
    return BST_UNCHECKED;
}

// A switched-off field is drawn in the dialog's colour, a switched-on one in the window's.
HBRUSH FieldColour(HDC dc, bool switchedOn) {
    const int colour = switchedOn ? COLOR_WINDOW : COLOR_BTNFACE;
    SetBkColor(dc, GetSysColor(colour));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return GetSysColorBrush(colour);
}

bool IsRadio(HWND hwnd) {
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    return std::wstring_view(name) == WC_BUTTONW &&
           (GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_RADIOBUTTON;
}

// A group box paints only its frame and caption, and its parent, which clips its children, leaves
// the inside unpainted: the box fills it first with its parent's background.
LRESULT CALLBACK FilledBox(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR) {
    if (message == WM_ERASEBKGND) {
        RECT inside{};
        GetClientRect(hwnd, &inside);
        auto brush =
            reinterpret_cast<HBRUSH>(GetClassLongPtrW(GetParent(hwnd), GCLP_HBRBACKGROUND));
        FillRect(reinterpret_cast<HDC>(wParam), &inside,
                 brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void FillInside(HWND box) {
    SetWindowSubclass(box, FilledBox, 0, 0);
}

template <typename Kind>
class Typed : public Peer {
public:
    Typed(const ControlDesign& design, form::TControl& model)
        : Peer(design, model), model_(static_cast<Kind&>(model)) {}

protected:
    Kind& model_;
};

// A list the user picks one item of: its items, refilled only when they changed, its selection,
// and the user's pick handed to the model.
template <typename Kind, typename Item>
class ListPeer : public Typed<Kind> {
public:
    ListPeer(const ControlDesign& design, form::TControl& model, const ListMessages& messages)
        : Typed<Kind>(design, model), messages_(messages) {}
    void Command(int code, HWND) override {
        if (code == messages_.picked && !this->Updating()) {
            this->model_.UserSelect(
                static_cast<int>(SendMessageW(this->Handle(), messages_.selected, 0, 0)));
        }
    }

protected:
    void ShowState() override {
        HWND list = this->Handle();
        const std::vector<Item>& items = this->model_.Items();
        if (shown_ != items) {
            SendMessageW(list, messages_.reset, 0, 0);
            for (const Item& item : items) {
                SendMessageW(list, messages_.add, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
            }
            shown_ = items;
        }
        SendMessageW(list, messages_.select, static_cast<WPARAM>(this->model_.ItemIndex()), 0);
    }

private:
    const ListMessages& messages_;
    std::vector<Item> shown_;
};

class CaptionPeer : public Typed<form::TCaptioned> {
public:
    CaptionPeer(const ControlDesign& design, form::TControl& model, const wchar_t* windowClass,
                DWORD style)
        : Typed(design, model), class_(windowClass), style_(style) {}
    void Create(HWND parent, int id) override {
        HWND made = Make(class_, style_, parent, id);
        if ((style_ & BS_TYPEMASK) == BS_GROUPBOX && class_ == std::wstring_view(WC_BUTTONW)) {
            FillInside(made);
        }
    }

protected:
    void ShowState() override { SetText(Handle(), Wide(model_.Caption())); }

private:
    const wchar_t* class_;
    DWORD style_;
};

class ButtonPeer : public CaptionPeer {
public:
    ButtonPeer(const ControlDesign& design, form::TControl& model)
        : CaptionPeer(design, model, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP) {}
    void Command(int code, HWND) override {
        if (code == BN_CLICKED) {
            static_cast<form::TButton&>(Model()).UserClick();
        }
    }
};

class CheckBoxPeer : public Typed<form::TCheckBox> {
public:
    using Typed::Typed;
    void Create(HWND parent, int id) override {
        // BS_3STATE: the box never changes by itself; the model's cycle is not the system's.
        Make(WC_BUTTONW, BS_3STATE | WS_TABSTOP | (model_.CaptionLeft() ? BS_LEFTTEXT : 0), parent,
             id);
    }
    void Command(int code, HWND) override {
        if (code == BN_CLICKED && !Updating()) {
            model_.UserClick();
        }
    }

protected:
    void ShowState() override {
        SetText(Handle(), Wide(model_.Caption()));
        SendMessageW(Handle(), BM_SETCHECK, CheckOf(model_.State()), 0);
    }
};

class RadioButtonPeer : public Typed<form::TRadioButton> {
public:
    using Typed::Typed;
    void Create(HWND parent, int id) override {
        // Radio buttons one after another among the same siblings are one group, as the
        // model's siblings are; the first of them starts it.
        HWND last = GetWindow(GetWindow(parent, GW_CHILD), GW_HWNDLAST);
        const bool follows = last != nullptr && IsRadio(last);
        Make(WC_BUTTONW, BS_RADIOBUTTON | WS_TABSTOP | (follows ? 0 : WS_GROUP), parent, id);
    }
    void Command(int code, HWND) override {
        if (code == BN_CLICKED && !Updating()) {
            model_.UserClick();
        }
    }

protected:
    void ShowState() override {
        SetText(Handle(), Wide(model_.Caption()));
        SendMessageW(Handle(), BM_SETCHECK, model_.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
    }
};

// A group box with the items as radio buttons beside it, in columns filled top to bottom.
class RadioGroupPeer : public Typed<form::TRadioGroup> {
public:
    using Typed::Typed;
    void Create(HWND parent, int id) override {
        parent_ = parent;
        id_ = id;
        FillInside(Make(WC_BUTTONW, BS_GROUPBOX | WS_CLIPSIBLINGS, parent, id));
        MakeItems();
    }
    void Place(const RECT& place, HFONT font) override {
        Peer::Place(place, font);
        font_ = font;
        const int count = static_cast<int>(handles_.size()) - 1;
        if (count <= 0) {
            return;
        }
        const int columns = std::max(1, model_.Columns());
        const int rows = (count + columns - 1) / columns;
        // The items share the box below its caption, as the product lays them out.
        TEXTMETRICW metrics{};
        HDC dc = GetDC(Handle());
        const HGDIOBJ old = SelectObject(dc, font);
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(Handle(), dc);
        const int margin = metrics.tmHeight / 2 + 1;
        const int top = place.top + metrics.tmHeight;
        const int height = (place.bottom - top - margin / 2) / rows;
        const int width = (place.right - place.left - 2 * margin) / columns;
        for (int i = 0; i < count; ++i) {
            HWND item = handles_[static_cast<std::size_t>(i) + 1];
            SetWindowPos(item, nullptr, place.left + margin + (i / rows) * width,
                         top + (i % rows) * height, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
            SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        }
    }
    void Command(int code, HWND from) override {
        if (code != BN_CLICKED || Updating()) {
            return;
        }
        const auto found = std::find(handles_.begin() + 1, handles_.end(), from);
        if (found != handles_.end()) {
            model_.UserSelect(static_cast<int>(found - handles_.begin()) - 1);
        }
    }

protected:
    void ShowState() override {
        SetText(Handle(), Wide(model_.Caption()));
        if (model_.Items().size() + 1 != handles_.size()) {
            MakeItems();
            RECT place{};
            GetWindowRect(Handle(), &place);
            MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&place), 2);
            Place(place, font_);
        }
        for (std::size_t i = 1; i < handles_.size(); ++i) {
            const bool checked = static_cast<int>(i) - 1 == model_.ItemIndex();
            SetText(handles_[i], Wide(model_.Items()[i - 1]));
            SendMessageW(handles_[i], BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
            // Tab reaches the group at its selected item, or its first when none is.
            const bool stop = checked || (model_.ItemIndex() < 0 && i == 1);
            LONG_PTR style = GetWindowLongPtrW(handles_[i], GWL_STYLE);
            style = stop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
            SetWindowLongPtrW(handles_[i], GWL_STYLE, style);
        }
    }

private:
    void MakeItems() {
        for (std::size_t i = 1; i < handles_.size(); ++i) {
            DestroyWindow(handles_[i]);
        }
        handles_.resize(1);
        for (std::size_t i = 0; i < model_.Items().size(); ++i) {
            Make(WC_BUTTONW, BS_RADIOBUTTON | (i == 0 ? WS_GROUP : 0), parent_, id_);
        }
    }

    HWND parent_ = nullptr;
    int id_ = 0;
    HFONT font_ = nullptr;
};

// An edit: the user's typing goes to the model, which may cut it; the look follows the model.
class EditPeer : public Typed<form::TEdit> {
public:
    using Typed::Typed;
    void Create(HWND parent, int id) override {
        Make(WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP | (model_.AlignRight() ? ES_RIGHT : ES_LEFT),
             parent, id, WS_EX_CLIENTEDGE);
    }
    void Command(int code, HWND) override {
        if (code == EN_CHANGE && !Updating()) {
            model_.SetText(Utf16Of(WindowText(Handle())));
            // The model may have cut the text: the field shows what it holds.
            Show();
        }
    }
    HBRUSH Colour(HDC dc) override { return FieldColour(dc, model_.SwitchedOn()); }

protected:
    void ShowState() override {
        SendMessageW(Handle(), EM_SETLIMITTEXT, static_cast<WPARAM>(model_.MaxLength()), 0);
        SendMessageW(Handle(), EM_SETREADONLY, model_.ReadOnly() ? TRUE : FALSE, 0);
        if (static_cast<wchar_t>(model_.PasswordChar()) !=
            static_cast<wchar_t>(SendMessageW(Handle(), EM_GETPASSWORDCHAR, 0, 0))) {
            SendMessageW(Handle(), EM_SETPASSWORDCHAR, model_.PasswordChar(), 0);
        }
        SetText(Handle(), Wide(model_.Text()));
        InvalidateRect(Handle(), nullptr, TRUE);
    }
};

// An edit whose every key and paste goes to the masked-edit model; the edit shows its text.
class MaskEditPeer : public Typed<form::TMaskEdit> {
public:
    using Typed::Typed;
    void Create(HWND parent, int id) override {
        Make(WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP | (model_.Centred() ? ES_CENTER : ES_LEFT),
             parent, id, WS_EX_CLIENTEDGE);
        SetWindowSubclass(Handle(), &MaskEditPeer::Keys, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    ~MaskEditPeer() override {
        if (IsWindow(Handle())) {
            RemoveWindowSubclass(Handle(), &MaskEditPeer::Keys, 0);
        }
    }
    HBRUSH Colour(HDC dc) override { return FieldColour(dc, model_.SwitchedOn()); }

protected:
    void ShowState() override {
        SendMessageW(Handle(), EM_SETREADONLY, model_.ReadOnly() ? TRUE : FALSE, 0);
        SetText(Handle(), Wide(model_.Text()));
        InvalidateRect(Handle(), nullptr, TRUE);
    }

private:
    template <typename Edit>
    void Edited(Edit edit) {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        const int cursor = edit(static_cast<int>(start), static_cast<int>(end));
        Show();
        SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(cursor), cursor);
    }

    static LRESULT CALLBACK Keys(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data) {
        auto& self = *reinterpret_cast<MaskEditPeer*>(data);
        auto& model = self.model_;
        switch (message) {
            case WM_CHAR:
                if (wParam == VK_BACK) {
                    self.Edited([&](int s, int e) { return model.Backspace(s, e); });
                    return 0;
                }
                if (wParam >= L' ') {
                    const char16_t typed = static_cast<char16_t>(wParam);
                    self.Edited([&](int s, int e) {
                        return model.Type(std::u16string_view(&typed, 1), s, e);
                    });
                    return 0;
                }
                break;  // Ctrl+C, Ctrl+V and the like: the edit turns them into messages
            case WM_KEYDOWN:
                if (wParam == VK_DELETE) {
                    self.Edited([&](int s, int e) { return model.Delete(s, e); });
                    return 0;
                }
                break;
            case WM_PASTE:
                self.Edited([&](int s, int e) { return model.Type(ClipboardText(hwnd), s, e); });
                return 0;
            case WM_CUT:
                DefSubclassProc(hwnd, WM_COPY, 0, 0);
                [[fallthrough]];
            case WM_CLEAR:
                self.Edited([&](int s, int e) { return model.Delete(s, e); });
                return 0;
            case WM_SETTEXT:
                if (!self.Updating()) {
                    // A text set from outside (another program, a screen reader's value) is
                    // taken position by position, so the field never shows what the model
                    // does not hold.
                    model.SetText(Utf16Of(reinterpret_cast<const wchar_t*>(lParam)));
                    self.Show();
                    return TRUE;
                }
                break;
            case WM_UNDO:
            case EM_UNDO:
                return 0;  // the model keeps no history
            default:
                break;
        }
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }

    static std::u16string ClipboardText(HWND owner) {
        std::u16string text;
        if (!OpenClipboard(owner)) {
            return text;
        }
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
            if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = Utf16Of(chars);
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return text;
    }
};

// The arrows beside an edit: a step asked by a click or an arrow key goes to the model, which
// moves the position (or not) and tells both the arrows and the edit.
class UpDownPeer : public Typed<form::TUpDown> {
public:
    using Typed::Typed;
    void Create(HWND parent, int id) override {
        Make(UPDOWN_CLASSW, UDS_SETBUDDYINT | UDS_NOTHOUSANDS | UDS_ARROWKEYS, parent, id);
    }
    void Bind(HWND edit) {
        SendMessageW(Handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
        Show();
    }
    LRESULT Notify(const NMHDR& header) override {
        if (header.code != UDN_DELTAPOS) {
            return 0;
        }
        const auto& step = reinterpret_cast<const NMUPDOWN&>(header);
        if (step.iDelta != 0) {
            model_.UserStep(step.iDelta > 0 ? 1 : -1);
        }
        return TRUE;  // the control moves only as the model says, through Show
    }

protected:
    void ShowState() override {
        SendMessageW(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(model_.Min()), model_.Max());
        SendMessageW(Handle(), UDM_SETPOS32, 0, model_.Position());
    }
};

// A label is as wide as its caption unless the design gives it a width, and shows its hint
// when the pointer rests on it.
class LabelPeer : public Typed<form::TLabel> {
public:
    LabelPeer(const ControlDesign& design, form::TControl& model, HWND tips)
        : Typed(design, model), tips_(tips) {}
    void Create(HWND parent, int id) override {
        Make(WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOTIFY, parent, id);
    }

protected:
    void ShowState() override {
        const std::wstring caption = Wide(model_.Caption());
        if (caption != WindowText(Handle())) {
            SetText(Handle(), caption);
            if (Design().width <= 0) {
                FitCaption(caption);
            }
        }
        ShowHint();
    }

private:
    void FitCaption(const std::wstring& caption) {
        RECT text{};
        HDC dc = GetDC(Handle());
        const HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
        DrawTextW(dc, caption.empty() ? L" " : caption.c_str(), -1, &text,
                  DT_CALCRECT | DT_SINGLELINE);
        SelectObject(dc, old);
        ReleaseDC(Handle(), dc);
        RECT now{};
        GetWindowRect(Handle(), &now);
        SetWindowPos(Handle(), nullptr, 0, 0, text.right, now.bottom - now.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void ShowHint() {
        if (tips_ == nullptr || hint_ == model_.Hint()) {
            return;
        }
        hint_ = model_.Hint();
        std::wstring text = Wide(hint_);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = GetParent(Handle());
        tool.uId = reinterpret_cast<UINT_PTR>(Handle());
        tool.lpszText = text.data();
        SendMessageW(tips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        if (!text.empty()) {
            SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }

    HWND tips_;
    std::u16string hint_;
};

class PanelPeer : public CaptionPeer {
public:
    PanelPeer(const ControlDesign& design, form::TControl& model)
        : CaptionPeer(design, model, kPanelClass, WS_CLIPCHILDREN) {}
    void Create(HWND parent, int id) override {
        RegisterPanelClass();
        Make(kPanelClass, WS_CLIPCHILDREN | WS_CLIPSIBLINGS, parent, id, WS_EX_CONTROLPARENT);
    }
};

class TabPeer : public Typed<form::TTabControl> {
public:
    using Typed::Typed;
    void Create(HWND parent, int id) override {
        Make(WC_TABCONTROLW, WS_TABSTOP | WS_CLIPSIBLINGS, parent, id);
    }
    LRESULT Notify(const NMHDR& header) override {
        if (header.code == TCN_SELCHANGE && !Updating()) {
            model_.UserSelect(TabCtrl_GetCurSel(Handle()));
        }
        return 0;
    }

protected:
    void ShowState() override {
        if (shown_ != model_.Tabs()) {
            TabCtrl_DeleteAllItems(Handle());
            int index = 0;
            for (const std::u16string& tab : model_.Tabs()) {
                std::wstring text = Wide(tab);
                TCITEMW item{};
                item.mask = TCIF_TEXT;
                item.pszText = text.data();
                SendMessageW(Handle(), TCM_INSERTITEMW, static_cast<WPARAM>(index++),
                             reinterpret_cast<LPARAM>(&item));
            }
            shown_ = model_.Tabs();
        }
        TabCtrl_SetCurSel(Handle(), model_.TabIndex());
    }

private:
    std::vector<std::u16string> shown_;
};

class ListBoxPeer : public ListPeer<form::TListBox, std::u16string> {
public:
    ListBoxPeer(const ControlDesign& design, form::TControl& model)
        : ListPeer(design, model, kListBoxMessages) {}
    void Create(HWND parent, int id) override {
        Make(WC_LISTBOXW, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, parent, id,
             WS_EX_CLIENTEDGE);
    }
};

// The port selector: its list is read again each time it opens.
class ComComboPeer : public ListPeer<form::TComComboBox, std::string> {
public:
    ComComboPeer(const ControlDesign& design, form::TControl& model,
                 std::function<std::vector<std::string>()> listPorts)
        : ListPeer(design, model, kDropDownMessages), listPorts_(std::move(listPorts)) {}
    void Create(HWND parent, int id) override {
        Make(WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, parent, id);
    }
    void Place(const RECT& place, HFONT font) override {
        // The window's height is the dropped list's; the closed box takes the font's.
        RECT dropped = place;
        dropped.bottom = place.top + 10 * (place.bottom - place.top);
        Peer::Place(dropped, font);
    }
    void Refresh() {
        if (listPorts_) {
            model_.SetPorts(listPorts_());
        }
    }
    void Command(int code, HWND from) override {
        if (code == CBN_DROPDOWN) {
            Refresh();
        } else {
            ListPeer::Command(code, from);
        }
    }

private:
    std::function<std::vector<std::string>()> listPorts_;
};

class ProgressPeer : public Typed<form::TProgressBar> {
public:
    using Typed::Typed;
    void Create(HWND parent, int id) override { Make(PROGRESS_CLASSW, 0, parent, id); }

protected:
    void ShowState() override {
        SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(model_.Min()), model_.Max());
        SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(model_.Position()), 0);
    }
};

// The about box's picture: the shapes the Linux window paints, painted with GDI.
class ImagePeer : public Typed<form::TImage> {
public:
    using Typed::Typed;
    void Create(HWND parent, int id) override { Make(WC_STATICW, SS_OWNERDRAW, parent, id); }
    void Draw(const DRAWITEMSTRUCT& item) override {
        HDC dc = item.hDC;
        const RECT& r = item.rcItem;
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        for (const ArtShape& shape : AboutPictureShapes(r.right - r.left, r.bottom - r.top)) {
            const RECT box{r.left + Round(shape.left), r.top + Round(shape.top),
                           r.left + Round(shape.left + shape.width),
                           r.top + Round(shape.top + shape.height)};
            switch (shape.kind) {
                case ArtShape::Kind::RoundedBox:
                case ArtShape::Kind::Disc: {
                    HBRUSH brush = CreateSolidBrush(Win(shape.colour));
                    const HGDIOBJ old = SelectObject(dc, brush);
                    if (shape.kind == ArtShape::Kind::Disc) {
                        Ellipse(dc, box.left, box.top, box.right, box.bottom);
                    } else {
                        const int corner = Round(2 * shape.corner);
                        RoundRect(dc, box.left, box.top, box.right, box.bottom, corner, corner);
                    }
                    SelectObject(dc, old);
                    DeleteObject(brush);
                    break;
                }
                case ArtShape::Kind::Name:
                    DrawName(dc, shape, box);
                    break;
                case ArtShape::Kind::Stripe:
                    DrawStripe(dc, box);
                    break;
            }
        }
        SelectObject(dc, oldPen);
    }

protected:
    void ShowState() override { InvalidateRect(Handle(), nullptr, TRUE); }

private:
    static int Round(double pixels) { return static_cast<int>(pixels + 0.5); }
    static void DrawName(HDC dc, const ArtShape& shape, RECT box) {
        HFONT font = CreateFontW(-Round(shape.textPixels), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
        const HGDIOBJ old = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, Win(shape.colour));
        DrawTextW(dc, Wide(kArtNameText).c_str(), -1, &box, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, old);
        DeleteObject(font);
    }
    // Red to yellow over the first half, yellow to green over the second, a column at a time.
    static void DrawStripe(HDC dc, const RECT& box) {
        const int width = std::max<int>(1, box.right - box.left);
        for (int x = 0; x < width; ++x) {
            const double at = 2.0 * x / width;
            const ArtColour from = at < 1 ? kArtRed : kArtYellow;
            const ArtColour to = at < 1 ? kArtYellow : kArtGreen;
            const double t = at < 1 ? at : at - 1;
            const auto mix = [t](std::uint8_t a, std::uint8_t b) {
                return static_cast<BYTE>(a + (b - a) * t + 0.5);
            };
            HBRUSH brush = CreateSolidBrush(
                RGB(mix(from.red, to.red), mix(from.green, to.green), mix(from.blue, to.blue)));
            const RECT column{box.left + x, box.top, box.left + x + 1, box.bottom};
            FillRect(dc, &column, brush);
            DeleteObject(brush);
        }
    }
};

// A menu of the menu bar, or an item of one; no window of its own.
class MenuPeer : public Typed<form::TMenuItem> {
public:
    MenuPeer(const ControlDesign& design, form::TControl& model, MenuBar& menus,
             std::string keyText)
        : Typed(design, model), menus_(menus), keyText_(std::move(keyText)) {}
    void Create(HWND, int id) override {
        id_ = id;
        if (Design().kind == ControlKind::Menu) {
            popup_ = CreatePopupMenu();
            owner_ = menus_.bar;
            AppendMenuW(owner_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup_), L"");
            menus_.menus.emplace_back(Design().name, popup_);
            return;
        }
        for (const auto& [name, popup] : menus_.menus) {
            if (name == Design().parent) {
                owner_ = popup;
            }
        }
        AppendMenuW(owner_, MF_STRING, static_cast<UINT_PTR>(id), L"");
    }
    void Place(const RECT&, HFONT) override {}
    void Command(int, HWND) override { model_.UserClick(); }
    [[nodiscard]] int Id() const { return id_; }

protected:
    void ShowState() override {
        if (owner_ == nullptr) {
            return;
        }
        std::wstring text = Wide(model_.Caption());
        if (!keyText_.empty()) {
            text += L'\t' + Wide(keyText_);
        }
        const int position = Position();
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING | MIIM_STATE;
        info.dwTypeData = text.data();
        info.fState = model_.Enabled() ? MFS_ENABLED : MFS_DISABLED;
        SetMenuItemInfoW(owner_, static_cast<UINT>(position), TRUE, &info);
        if (menus_.window != nullptr) {
            DrawMenuBar(menus_.window);
        }
    }

private:
    [[nodiscard]] int Position() const {
        const int count = GetMenuItemCount(owner_);
        for (int i = 0; i < count; ++i) {
            const bool mine = popup_ != nullptr ? GetSubMenu(owner_, i) == popup_
                                                : GetMenuItemID(owner_, i) == UINT(id_);
            if (mine) {
                return i;
            }
        }
        return -1;
    }

    MenuBar& menus_;
    std::string keyText_;
    HMENU owner_ = nullptr;
    HMENU popup_ = nullptr;
    int id_ = 0;
};

// Panels pass their controls' notifications and colour questions on to the window, which hands
// them to the peers.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
        case WM_DRAWITEM:
            return SendMessageW(GetAncestor(hwnd, GA_ROOT), message, wParam, lParam);
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

void RegisterPanelClass() {
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(Instance(), kPanelClass, &windowClass)) {
        return;
    }
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = PanelProc;
    windowClass.hInstance = Instance();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kPanelClass;
    RegisterClassExW(&windowClass);
}

HWND Peer::Make(const wchar_t* windowClass, DWORD style, HWND parent, int id, DWORD exStyle) {
    // Every Tab stop starts a group of its own, so the arrow keys stay in it; radio buttons
    // choose their groups themselves.
    const bool radio =
        std::wstring_view(windowClass) == WC_BUTTONW && (style & BS_TYPEMASK) == BS_RADIOBUTTON;
    if ((style & WS_TABSTOP) != 0 && !radio) {
        style |= WS_GROUP;
    }
    HWND hwnd =
        CreateWindowExW(exStyle, windowClass, L"", style | WS_CHILD, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
    handles_.push_back(hwnd);
    return hwnd;
}

void Peer::SetText(HWND hwnd, const std::wstring& text) {
    if (WindowText(hwnd) != text) {
        SetWindowTextW(hwnd, text.c_str());
    }
}

void Peer::Place(const RECT& place, HFONT font) {
    for (HWND hwnd : handles_) {
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (Handle() != nullptr) {
        SetWindowPos(Handle(), nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool Peer::ShownEnabled() const {
    return model_.Enabled() && (container == nullptr || container->ShownEnabled());
}

bool Peer::ShownVisible() const {
    return model_.Visible() && (container == nullptr || container->ShownVisible());
}

void Peer::Show() {
    if (updating_) {
        return;
    }
    updating_ = true;
    ShowState();
    const bool enabled = ShownEnabled();
    const bool visible = ShownVisible();
    for (HWND hwnd : handles_) {
        if ((IsWindowEnabled(hwnd) != FALSE) != enabled) {
            EnableWindow(hwnd, enabled ? TRUE : FALSE);
        }
        const bool shown = (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
        if (shown != visible) {
            ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);
        }
    }
    updating_ = false;
    // What a container shows reaches the controls in it.
    for (Peer* inside : contents) {
        inside->Show();
    }
}

std::unique_ptr<Peer> MakePeer(const ControlDesign& design, form::TControl& model,
                               const PeerNeeds& needs) {
    switch (design.kind) {
        case ControlKind::Menu:
        case ControlKind::MenuItem:
            return std::make_unique<MenuPeer>(design, model, *needs.menus, needs.keyText);
        case ControlKind::Label:
            return std::make_unique<LabelPeer>(design, model, needs.tips);
        case ControlKind::Button:
            return std::make_unique<ButtonPeer>(design, model);
        case ControlKind::CheckBox:
            return std::make_unique<CheckBoxPeer>(design, model);
        case ControlKind::RadioButton:
            return std::make_unique<RadioButtonPeer>(design, model);
        case ControlKind::RadioGroup:
            return std::make_unique<RadioGroupPeer>(design, model);
        case ControlKind::Edit:
            return std::make_unique<EditPeer>(design, model);
        case ControlKind::MaskEdit:
            return std::make_unique<MaskEditPeer>(design, model);
        case ControlKind::UpDown:
            return std::make_unique<UpDownPeer>(design, model);
        case ControlKind::GroupBox:
            // Drawn beside its controls, never their parent: a button swallows its children's
            // notifications.
            return std::make_unique<CaptionPeer>(design, model, WC_BUTTONW,
                                                 BS_GROUPBOX | WS_CLIPSIBLINGS);
        case ControlKind::Panel:
            return std::make_unique<PanelPeer>(design, model);
        case ControlKind::TabControl:
            return std::make_unique<TabPeer>(design, model);
        case ControlKind::ListBox:
            return std::make_unique<ListBoxPeer>(design, model);
        case ControlKind::ComComboBox:
            return std::make_unique<ComComboPeer>(design, model, needs.listPorts);
        case ControlKind::ProgressBar:
            return std::make_unique<ProgressPeer>(design, model);
        case ControlKind::Image:
            return std::make_unique<ImagePeer>(design, model);
    }
    return nullptr;
}

void BindBuddy(Peer& upDown, HWND edit) {
    if (auto* peer = dynamic_cast<UpDownPeer*>(&upDown)) {
        peer->Bind(edit);
    }
}

void RefreshPorts(Peer& peer) {
    if (auto* combo = dynamic_cast<ComComboPeer*>(&peer)) {
        combo->Refresh();
    }
}

void HollowTabs(Peer& tabs, const std::vector<RECT>& pages) {
    RECT whole{};
    GetClientRect(tabs.Handle(), &whole);
    HRGN region = CreateRectRgnIndirect(&whole);
    for (const RECT& page : pages) {
        HRGN hole = CreateRectRgnIndirect(&page);
        CombineRgn(region, region, hole, RGN_DIFF);
        DeleteObject(hole);
    }
    // The window owns the region from here.
    SetWindowRgn(tabs.Handle(), region, TRUE);
}

}  // namespace zorvik::win32
