// The Win32 message box plan: a request's text, icon, buttons and default,
// and the bit each id the box returns answers.
#include "window/win32/message_presenter_win32.h"
#include "window/win32/win32_text.h"

#include <gtest/gtest.h>

#include <vector>


namespace varnok::window::win32 {
namespace {

constexpr UINT kIconBits = MB_ICONMASK | MB_USERICON;

TEST(Win32MessageBoxPlan, IconsFromTheirCodes) {
    struct Case {
        std::string icon;
        UINT style;
        int stock;
        std::wstring userIcon;
    };
    const Case cases[] = {
        {IconHand, MB_ICONHAND, 0, L""},
        {IconQuestion, MB_ICONQUESTION, 0, L""},
        {IconExclamation, MB_ICONEXCLAMATION, 0, L""},
        {IconInformation, MB_ICONINFORMATION, 0, L""},
        {stockIcon(32512), MB_USERICON, 32512, L""},  // the application icon, from the system
        {stockIcon(32518), MB_USERICON, 32518, L""},
        {stockIcon(100), 0, 0, L""},                  // not a system icon
        {"~varnok.ico", MB_USERICON, 0, L"varnok.ico"},
        {"~", 0, 0, L""},
        {"", 0, 0, L""},
        {"varnok.ico", 0, 0, L""},
        {std::string("\xFF\x02\x03\x7F", 4), 0, 0, L""},  // wrong second byte
        {std::string("\xFF\x01\x03", 3), 0, 0, L""},      // short
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.icon));
        const MessageBoxPlan plan = messageBoxPlan({"text", "caption", c.icon, ButtonOk, 0});
        EXPECT_EQ(plan.style & kIconBits, c.style);
        EXPECT_EQ(plan.stockIcon, c.stock);
        EXPECT_EQ(plan.userIcon, c.userIcon);
        EXPECT_EQ(plan.style & ~kIconBits, static_cast<UINT>(MB_OK | MB_DEFBUTTON1));
    }
}

TEST(Win32MessageBoxPlan, BarsBreakLinesAndTextsAreUtf16) {
    const MessageBoxPlan plan = messageBoxPlan(
        {"Column: NAME has 2 dimensions|Cannot view it||end|", "Gr\xC3\xBC\xC3\x9F" "e", "", ButtonOk, 0});
    EXPECT_EQ(plan.text, L"Column: NAME has 2 dimensions\nCannot view it\n\nend\n");
    EXPECT_EQ(plan.caption, L"Gr\u00FC\u00DFe");
    // A TXA name in Windows-1252 inside a message still shows.
    EXPECT_EQ(messageBoxPlan({"Cannot open caf\xE9.txa", "", "", ButtonOk, 0}).text, L"Cannot open caf\u00E9.txa");
    EXPECT_EQ(programWide("\x80|\xE4"), L"\u20AC|\u00E4");
}

using Ids = std::vector<int>;
using Bits = std::vector<unsigned>;

struct ButtonCase {
    unsigned buttons, defaultButton;
    UINT style;   // MB_ buttons, MB_HELP, MB_DEFBUTTONn
    Ids ids;      // in the order shown
    Bits bits;
    bool relabel;
    unsigned defaultBit, escapeBit;
};

void checkButtons(const ButtonCase& c) {
    SCOPED_TRACE(testing::Message() << "buttons " << c.buttons << " default " << c.defaultButton);
    const MessageBoxPlan plan = messageBoxPlan({"t", "c", "", c.buttons, c.defaultButton});
    EXPECT_EQ(plan.style, c.style);
    Ids ids;
    Bits bits;
    for (const MessageBoxButton& b : plan.buttons) {
        ids.push_back(b.id);
        bits.push_back(b.bit);
    }
    EXPECT_EQ(ids, c.ids);
    EXPECT_EQ(bits, c.bits);
    EXPECT_EQ(plan.relabel, c.relabel);
    EXPECT_EQ(plan.defaultBit, c.defaultBit);
    EXPECT_EQ(plan.escapeBit, c.escapeBit);
}

// The sets the system box has, each with every default.
TEST(Win32MessageBoxPlan, SystemButtonSetsWithEveryDefault) {
    const ButtonCase cases[] = {
        {ButtonOk, 0, MB_OK, {IDOK}, {ButtonOk}, false, ButtonOk, ButtonOk},
        {0, 0, MB_OK, {IDOK}, {ButtonOk}, false, ButtonOk, ButtonOk},      // none asked: OK
        {256, 0, MB_OK, {IDOK}, {ButtonOk}, false, ButtonOk, ButtonOk},    // only unknown bits
        {ButtonOk | ButtonCancel, 0, MB_OKCANCEL, {IDOK, IDCANCEL}, {ButtonOk, ButtonCancel}, false, ButtonOk,
         ButtonCancel},
        {ButtonOk | ButtonCancel, ButtonCancel, MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL},
         {ButtonOk, ButtonCancel}, false, ButtonCancel, ButtonCancel},
        {ButtonOk | ButtonCancel, ButtonYes, MB_OKCANCEL, {IDOK, IDCANCEL}, {ButtonOk, ButtonCancel}, false,
         ButtonOk, ButtonCancel},  // a default not offered: the first
        {ButtonYes | ButtonNo, 0, MB_YESNO, {IDYES, IDNO}, {ButtonYes, ButtonNo}, false, ButtonYes, ButtonNo},
        {ButtonYes | ButtonNo, ButtonNo, MB_YESNO | MB_DEFBUTTON2, {IDYES, IDNO}, {ButtonYes, ButtonNo}, false,
         ButtonNo, ButtonNo},
        {ButtonYes | ButtonNo | ButtonCancel, ButtonNo, MB_YESNOCANCEL | MB_DEFBUTTON2, {IDYES, IDNO, IDCANCEL},
         {ButtonYes, ButtonNo, ButtonCancel}, false, ButtonNo, ButtonCancel},
        {ButtonYes | ButtonNo | ButtonCancel, ButtonCancel, MB_YESNOCANCEL | MB_DEFBUTTON3,
         {IDYES, IDNO, IDCANCEL}, {ButtonYes, ButtonNo, ButtonCancel}, false, ButtonCancel, ButtonCancel},
        {ButtonRetry | ButtonCancel, 0, MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, {ButtonRetry, ButtonCancel}, false,
         ButtonRetry, ButtonCancel},
        {ButtonRetry | ButtonCancel, ButtonCancel, MB_RETRYCANCEL | MB_DEFBUTTON2, {IDRETRY, IDCANCEL},
         {ButtonRetry, ButtonCancel}, false, ButtonCancel, ButtonCancel},
        {ButtonAbort | ButtonRetry | ButtonIgnore, 0, MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE},
         {ButtonAbort, ButtonRetry, ButtonIgnore}, false, ButtonAbort, ButtonAbort},
        {ButtonAbort | ButtonRetry | ButtonIgnore, ButtonRetry, MB_ABORTRETRYIGNORE | MB_DEFBUTTON2,
         {IDABORT, IDRETRY, IDIGNORE}, {ButtonAbort, ButtonRetry, ButtonIgnore}, false, ButtonRetry, ButtonRetry},
        {ButtonAbort | ButtonRetry | ButtonIgnore, ButtonIgnore, MB_ABORTRETRYIGNORE | MB_DEFBUTTON3,
         {IDABORT, IDRETRY, IDIGNORE}, {ButtonAbort, ButtonRetry, ButtonIgnore}, false, ButtonIgnore, ButtonIgnore},
        // Help adds the system's Help button, last.
        {ButtonOk | ButtonHelp, ButtonOk, MB_OK | MB_HELP, {IDOK, IDHELP}, {ButtonOk, ButtonHelp}, false, ButtonOk,
         ButtonOk},
        {ButtonOk | ButtonHelp, ButtonHelp, MB_OK | MB_HELP | MB_DEFBUTTON2, {IDOK, IDHELP}, {ButtonOk, ButtonHelp},
         false, ButtonHelp, ButtonOk},
        {ButtonYes | ButtonNo | ButtonCancel | ButtonHelp, ButtonHelp, MB_YESNOCANCEL | MB_HELP | MB_DEFBUTTON4,
         {IDYES, IDNO, IDCANCEL, IDHELP}, {ButtonYes, ButtonNo, ButtonCancel, ButtonHelp}, false, ButtonHelp,
         ButtonCancel},
        {ButtonAbort | ButtonRetry | ButtonIgnore | ButtonHelp, 0, MB_ABORTRETRYIGNORE | MB_HELP,
         {IDABORT, IDRETRY, IDIGNORE, IDHELP}, {ButtonAbort, ButtonRetry, ButtonIgnore, ButtonHelp}, false,
         ButtonAbort, ButtonAbort},
    };
    for (const ButtonCase& c : cases) checkButtons(c);
}

// Sets the system box does not have: as many buttons carrying the requested
// labels, the one closing answers last, on the Cancel place.
TEST(Win32MessageBoxPlan, OtherSetsCarryTheirOwnLabels) {
    const ButtonCase cases[] = {
        {ButtonYes, 0, MB_OK, {IDOK}, {ButtonYes}, true, ButtonYes, ButtonYes},
        {ButtonCancel, 0, MB_OK, {IDOK}, {ButtonCancel}, true, ButtonCancel, ButtonCancel},
        {ButtonHelp, 0, MB_OK, {IDOK}, {ButtonHelp}, true, ButtonHelp, ButtonHelp},  // Help alone ends the box
        {ButtonOk | ButtonYes, 0, MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL}, {ButtonYes, ButtonOk}, true,
         ButtonOk, ButtonOk},
        {ButtonYes | ButtonCancel, 0, MB_OKCANCEL, {IDOK, IDCANCEL}, {ButtonYes, ButtonCancel}, true, ButtonYes,
         ButtonCancel},
        {ButtonOk | ButtonNo, ButtonNo, MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL}, {ButtonOk, ButtonNo}, true,
         ButtonNo, ButtonNo},
        {ButtonRetry | ButtonIgnore, ButtonIgnore, MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL},
         {ButtonRetry, ButtonIgnore}, true, ButtonIgnore, ButtonIgnore},  // no closing button: the default closes
        {ButtonAbort | ButtonIgnore | ButtonCancel, ButtonAbort, MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL},
         {ButtonAbort, ButtonIgnore, ButtonCancel}, true, ButtonAbort, ButtonCancel},
        {ButtonOk | ButtonNo | ButtonRetry, 0, MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL},
         {ButtonOk, ButtonRetry, ButtonNo}, true, ButtonOk, ButtonNo},
        {ButtonYes | ButtonCancel | ButtonHelp, ButtonCancel, MB_OKCANCEL | MB_HELP | MB_DEFBUTTON2,
         {IDOK, IDCANCEL, IDHELP}, {ButtonYes, ButtonCancel, ButtonHelp}, true, ButtonCancel, ButtonCancel},
        // More than three: the default, the closing one and the lowest others.
        {ButtonOk | ButtonYes | ButtonNo | ButtonCancel, ButtonNo, MB_YESNOCANCEL | MB_DEFBUTTON2,
         {IDYES, IDNO, IDCANCEL}, {ButtonOk, ButtonNo, ButtonCancel}, true, ButtonNo, ButtonCancel},
        {0x7F, ButtonIgnore, MB_YESNOCANCEL | MB_DEFBUTTON2, {IDYES, IDNO, IDCANCEL},
         {ButtonOk, ButtonIgnore, ButtonCancel}, true, ButtonIgnore, ButtonCancel},
        {0xFF, 0, MB_YESNOCANCEL | MB_HELP, {IDYES, IDNO, IDCANCEL, IDHELP},
         {ButtonOk, ButtonYes, ButtonCancel, ButtonHelp}, true, ButtonOk, ButtonCancel},
    };
    for (const ButtonCase& c : cases) checkButtons(c);
}

int systemId(unsigned bit) {
    switch (bit) {
    case ButtonOk: return IDOK;
    case ButtonYes: return IDYES;
    case ButtonNo: return IDNO;
    case ButtonAbort: return IDABORT;
    case ButtonRetry: return IDRETRY;
    case ButtonIgnore: return IDIGNORE;
    case ButtonCancel: return IDCANCEL;
    case ButtonHelp: return IDHELP;
    default: return 0;
    }
}

// Every combination of the eight bits and every default: the box shows at
// most three buttons and Help, never one the program did not offer, each id
// once; the default is shown and MB_DEFBUTTONn points at it; every id
// answers a bit the program offered (so does any other id); a set the
// system has keeps its labels.
TEST(Win32MessageBoxPlan, EveryCombinationAnswersOnlyOfferedButtons) {
    for (unsigned buttons = 0; buttons < 256; ++buttons) {
        for (unsigned d = 0; d <= 8; ++d) {
            const unsigned defaultButton = d ? 1u << (d - 1) : 0;
            SCOPED_TRACE(testing::Message() << buttons << " " << defaultButton);
            const MessageRequest request{"t", "c", "", buttons, defaultButton};
            const MessageBoxPlan plan = messageBoxPlan(request);
            const unsigned offered = buttons ? buttons : ButtonOk;
            ASSERT_FALSE(plan.buttons.empty());
            ASSERT_LE(plan.buttons.size(), 4u);
            unsigned seenBits = 0;
            std::vector<int> ids;
            for (const MessageBoxButton& b : plan.buttons) {
                EXPECT_NE(b.bit & offered, 0u);
                EXPECT_EQ(seenBits & b.bit, 0u);
                seenBits |= b.bit;
                for (int id : ids) EXPECT_NE(id, b.id);
                ids.push_back(b.id);
                EXPECT_EQ(answerBit(plan, b.id), b.bit);
                EXPECT_EQ(b.id == IDHELP, (plan.style & MB_HELP) && b.bit == ButtonHelp);
            }
            const size_t at = static_cast<size_t>((plan.style & MB_DEFMASK) >> 8);
            ASSERT_LT(at, plan.buttons.size());
            EXPECT_EQ(plan.buttons[at].bit, plan.defaultBit);
            if (seenBits & effectiveDefault(request)) {
                EXPECT_EQ(plan.defaultBit, effectiveDefault(request));
            }
            EXPECT_NE(seenBits & plan.escapeBit, 0u);
            for (int other : {0, -1, IDCLOSE, IDTRYAGAIN, IDCONTINUE}) EXPECT_EQ(answerBit(plan, other), plan.escapeBit);
            // The system's own labels only where each id means its bit.
            if (!plan.relabel) {
                for (const MessageBoxButton& b : plan.buttons) EXPECT_EQ(b.id, systemId(b.bit)) << b.bit;
            }
            // With no more than three buttons besides Help, all are shown.
            if (__builtin_popcount(offered & 0x7F) <= 3) {
                EXPECT_EQ(seenBits, offered);
            }
        }
    }
}

// The presenter's own path with its answering seam: the plan of the
// request goes to the answer, whose id comes back as the bit.
TEST(Win32MessagePresenter, AnswerGetsThePlanAndItsIdBecomesTheBit) {
    std::vector<MessageBoxPlan> seen;
    int nextId = IDNO;
    Win32MessagePresenter presenter([&](const MessageBoxPlan& plan) {
        seen.push_back(plan);
        return nextId;
    });
    MessagePresenter* previous = setMessagePresenter(&presenter);
    EXPECT_EQ(message("Overwrite main_.txa ?", "File already exists", IconQuestion, ButtonYes | ButtonNo, ButtonNo),
              ButtonNo);
    nextId = IDYES;
    EXPECT_EQ(message("Select all|the instances", "Select All", IconQuestion, ButtonYes | ButtonNo), ButtonYes);
    nextId = IDCANCEL;  // Esc on a box without Cancel: its closing button
    EXPECT_EQ(message("x", "", "", ButtonYes | ButtonNo), ButtonNo);
    nextId = IDHELP;
    EXPECT_EQ(message("Errors", "Errors History", "", ButtonOk | ButtonHelp, ButtonOk), ButtonHelp);
    nextId = IDCANCEL;  // the Cancel place of a relabelled box
    EXPECT_EQ(message("x", "", "", ButtonOk | ButtonYes), ButtonOk);
    setMessagePresenter(previous);
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0].caption, L"File already exists");
    EXPECT_EQ(seen[0].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
    EXPECT_EQ(seen[1].text, L"Select all\nthe instances");
    EXPECT_EQ(seen[3].style & MB_HELP, static_cast<UINT>(MB_HELP));
}

// The labels a relabelled box carries are the system box's own words.
TEST(Win32MessageBoxPlan, LabelsOfEveryButton) {
    const struct {
        unsigned bit;
        const wchar_t* label;
    } cases[] = {{ButtonOk, L"OK"},         {ButtonYes, L"&Yes"},       {ButtonNo, L"&No"},
                 {ButtonAbort, L"&Abort"},  {ButtonRetry, L"&Retry"},   {ButtonIgnore, L"&Ignore"},
                 {ButtonCancel, L"Cancel"}, {ButtonHelp, L"&Help"},     {256, L""}};
    for (const auto& c : cases) EXPECT_STREQ(buttonLabel(c.bit), c.label) << c.bit;
}

}  // namespace
}  // namespace varnok::window::win32
