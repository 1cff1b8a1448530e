#include "window/win32/message_presenter_win32.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "platform/cp1252.h"
#include "platform/win32/wide_text.h"
#include "window/win32/win32_text.h"

namespace varnok::window::win32 {

namespace {

constexpr unsigned kKnownButtons = 0xFF;

// The button sets the system box has, with their ids in the order shown.
struct SystemSet {
    UINT style;
    unsigned bits;
    int count;
    MessageBoxButton buttons[3];
};
constexpr SystemSet kSystemSets[] = {
    {MB_OK, ButtonOk, 1, {{IDOK, ButtonOk}}},
    {MB_OKCANCEL, ButtonOk | ButtonCancel, 2, {{IDOK, ButtonOk}, {IDCANCEL, ButtonCancel}}},
    {MB_ABORTRETRYIGNORE, ButtonAbort | ButtonRetry | ButtonIgnore, 3,
     {{IDABORT, ButtonAbort}, {IDRETRY, ButtonRetry}, {IDIGNORE, ButtonIgnore}}},
    {MB_YESNOCANCEL, ButtonYes | ButtonNo | ButtonCancel, 3,
     {{IDYES, ButtonYes}, {IDNO, ButtonNo}, {IDCANCEL, ButtonCancel}}},
    {MB_YESNO, ButtonYes | ButtonNo, 2, {{IDYES, ButtonYes}, {IDNO, ButtonNo}}},
    {MB_RETRYCANCEL, ButtonRetry | ButtonCancel, 2, {{IDRETRY, ButtonRetry}, {IDCANCEL, ButtonCancel}}},
};

// The boxes that carry requested labels, by their number of buttons: the
// last id of each is the one Esc and the close box give (IDOK for a
// single OK).
constexpr UINT kCarrierStyle[] = {MB_OK, MB_OK, MB_OKCANCEL, MB_YESNOCANCEL};
constexpr int kCarrierIds[4][3] = {{}, {IDOK}, {IDOK, IDCANCEL}, {IDYES, IDNO, IDCANCEL}};

constexpr UINT kDefaultButtonStyle[] = {MB_DEFBUTTON1, MB_DEFBUTTON2, MB_DEFBUTTON3, MB_DEFBUTTON4};

// The stock icon resource number of a four-byte code, -1 for anything else.
int stockNumber(const std::string& code) {
    if (code.size() != 4 || static_cast<unsigned char>(code[0]) != 0xFF || code[1] != 0x01) return -1;
    const int encoded = static_cast<unsigned char>(code[2]) | static_cast<unsigned char>(code[3]) << 8;
    return encoded - 1;
}

std::vector<unsigned> bitsOf(unsigned bits) {
    std::vector<unsigned> out;
    for (unsigned bit = 1; bit <= ButtonHelp; bit <<= 1)
        if (bits & bit) out.push_back(bit);
    return out;
}

size_t bitCount(unsigned bits) { return bitsOf(bits).size(); }

}  // namespace

const wchar_t* buttonLabel(unsigned bit) {
    switch (bit) {
    case ButtonOk: return L"OK";
    case ButtonYes: return L"&Yes";
    case ButtonNo: return L"&No";
    case ButtonAbort: return L"&Abort";
    case ButtonRetry: return L"&Retry";
    case ButtonIgnore: return L"&Ignore";
    case ButtonCancel: return L"Cancel";
    case ButtonHelp: return L"&Help";
    default: return L"";
    }
}

// The box's icon: a system icon's style, or a user icon (a stock number or
// a resource name) in the plan.
static UINT iconStyle(const std::string& icon, MessageBoxPlan& plan) {
    const int stock = stockNumber(icon);
    switch (stock) {
    case 32513: return MB_ICONHAND;
    case 32514: return MB_ICONQUESTION;
    case 32515: return MB_ICONEXCLAMATION;
    case 32516: return MB_ICONINFORMATION;
    default: break;
    }
    if (stock >= 32512 && stock <= 32518) {  // the other system icons
        plan.stockIcon = stock;
        return MB_USERICON;
    }
    if (stock < 0 && icon.size() > 1 && icon.front() == '~') {
        plan.userIcon = programWide(std::string_view(icon).substr(1));
        return MB_USERICON;
    }
    return 0;
}

// Buttons no system set has: at most three of them (the default and the
// closing one kept), the closing one last, carried by a system set's
// buttons and relabelled. Returns the carrier set's style.
static UINT carrierButtons(unsigned main, unsigned wantedDefault, unsigned closing, MessageBoxPlan& plan) {
    unsigned shown = main;
    if (bitCount(shown) > 3) {
        shown = main & (wantedDefault | closing);
        for (unsigned bit : bitsOf(main))
            if (bitCount(shown) < 3) shown |= bit;
    }
    std::vector<unsigned> order = bitsOf(shown);
    auto last = std::find(order.begin(), order.end(), closing);
    if (last != order.end()) std::rotate(last, last + 1, order.end());
    const size_t n = order.size();
    for (size_t i = 0; i < n; ++i) plan.buttons.push_back({kCarrierIds[n][i], order[i]});
    plan.relabel = true;
    return kCarrierStyle[n];
}

MessageBoxPlan messageBoxPlan(const MessageRequest& request) {
    MessageBoxPlan plan;
    plan.caption = programWide(request.caption);
    plan.text = programWide(messageLines(request.text));

    UINT style = iconStyle(request.icon, plan);

    // The buttons asked for; none known means OK, as everywhere.
    unsigned asked = request.buttons & kKnownButtons;
    if (asked == 0) asked = ButtonOk;
    MessageRequest known = request;
    known.buttons = asked;
    const unsigned wantedDefault = effectiveDefault(known);
    unsigned help = asked & ButtonHelp;
    unsigned main = asked & ~ButtonHelp;
    if (main == 0) {  // Help alone: one button, labelled Help
        main = ButtonHelp;
        help = 0;
    }
    const unsigned closing = escapeButton(main, wantedDefault);

    const SystemSet* system = nullptr;
    for (const SystemSet& set : kSystemSets)
        if (set.bits == main) system = &set;
    if (system) {
        style |= system->style;
        plan.buttons.assign(system->buttons, system->buttons + system->count);
    } else {
        style |= carrierButtons(main, wantedDefault, closing, plan);
    }
    if (help) {
        style |= MB_HELP;
        plan.buttons.push_back({IDHELP, ButtonHelp});
    }

    auto shown = [&](unsigned bit) {
        return std::find_if(plan.buttons.begin(), plan.buttons.end(),
                            [&](const MessageBoxButton& b) { return b.bit == bit; });
    };
    auto defaultAt = shown(wantedDefault);
    if (defaultAt == plan.buttons.end()) defaultAt = plan.buttons.begin();
    plan.defaultBit = defaultAt->bit;
    style |= kDefaultButtonStyle[std::distance(plan.buttons.begin(), defaultAt)];
    unsigned shownBits = 0;
    for (const MessageBoxButton& b : plan.buttons) shownBits |= b.bit;
    plan.escapeBit = shown(closing) != plan.buttons.end() ? closing
                                                          : escapeButton(shownBits & ~ButtonHelp, plan.defaultBit);
    plan.style = style;
    return plan;
}

unsigned answerBit(const MessageBoxPlan& plan, int id) {
    for (const MessageBoxButton& b : plan.buttons)
        if (b.id == id) return b.bit;
    return plan.escapeBit;
}

namespace {

// The box being shown on this thread, for the hook that finds its window
// and the Help button's callback. Boxes shown while one is open (from its
// message loop) stack up through `outer`.
struct ShowingBox {
    const MessageBoxPlan* plan = nullptr;
    HWND box = nullptr;
    HHOOK hook = nullptr;
    WNDPROC boxProcedure = nullptr;  // the box's own, before helpEnds
    ShowingBox* outer = nullptr;
};
thread_local ShowingBox* showing = nullptr;

ShowingBox* showingFor(HWND box) {
    for (ShowingBox* s = showing; s; s = s->outer)
        if (s->box == box) return s;
    return nullptr;
}

// The box's window procedure in front of its own: Help ends the box like
// every other button.
LRESULT CALLBACK helpEnds(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    ShowingBox* s = showingFor(box);
    if (message == WM_COMMAND && LOWORD(wParam) == IDHELP) {
        EndDialog(box, IDHELP);
        return 0;
    }
    return CallWindowProcW(s ? s->boxProcedure : DefDlgProcW, box, message, wParam, lParam);
}

// The first dialog window activated after the box is asked for is the box:
// its buttons take the requested labels before it is first drawn.
LRESULT CALLBACK watchBox(int code, WPARAM wParam, LPARAM lParam) {
    ShowingBox* s = showing;
    if (code == HCBT_ACTIVATE && s && !s->box) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t name[16] = {};
        if (GetClassNameW(window, name, 16) && std::wcscmp(name, L"#32770") == 0) {
            s->box = window;
            if (s->plan->relabel)
                for (const MessageBoxButton& b : s->plan->buttons)
                    if (b.id != IDHELP) SetDlgItemTextW(window, b.id, buttonLabel(b.bit));
            if (s->plan->style & MB_HELP)
                s->boxProcedure = reinterpret_cast<WNDPROC>(
                    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(helpEnds)));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int showMessageBox(const MessageBoxPlan& plan, HWND owner) {
    ShowingBox state;
    state.plan = &plan;
    state.outer = showing;
    state.hook = SetWindowsHookExW(WH_CBT, watchBox, nullptr, GetCurrentThreadId());
    showing = &state;

    MSGBOXPARAMSW params = {};
    params.cbSize = sizeof params;
    params.hwndOwner = owner;
    params.lpszText = plan.text.c_str();
    params.lpszCaption = plan.caption.c_str();
    params.dwStyle = plan.style | (owner ? 0 : MB_TASKMODAL);
    if (plan.style & MB_USERICON) {
        if (plan.stockIcon) {
            params.lpszIcon = MAKEINTRESOURCEW(plan.stockIcon);
        } else {
            params.hInstance = GetModuleHandleW(nullptr);
            params.lpszIcon = plan.userIcon.c_str();
        }
    }
    const int id = MessageBoxIndirectW(&params);

    showing = state.outer;
    if (state.hook) UnhookWindowsHookEx(state.hook);
    return id;
}

unsigned Win32MessagePresenter::show(const MessageRequest& request) {
    const MessageBoxPlan plan = messageBoxPlan(request);
    const int id = answer_ ? answer_(plan) : showMessageBox(plan, GetActiveWindow());
    return answerBit(plan, id);
}

}  // namespace varnok::window::win32
