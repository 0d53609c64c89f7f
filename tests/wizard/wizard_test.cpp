// The setup wizard driven as a user would: real windows, buttons pressed with
// BM_CLICK, keys posted into the modal loop, texts read back by control ID.
// The program runs once per catalogue language (see CMakeLists.txt).
#include "engine/catalogue.h"
#include "engine/handles.h"
#include "engine/ops.h"
#include "engine/progress.h"
#include "engine/selection.h"
#include "res/resource.h"
#include "support/spooler_state.h"
#include "support/test_support.h"
#include "timer_script.h"
#include "ui/winapp.h"
#include "wizard/dlg_install.h"
#include "wizard/dlg_step_agreement.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <winspool.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

bool Chinese() { return CatalogueIsChinese(); }
const char* Lang(const char* english, const char* chinese) { return Chinese() ? chinese : english; }

std::string Text(HWND window)
{
    int len = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(len) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), len + 1)));
    return AnsiToUtf8(text);
}

std::vector<std::string> Rows(HWND list)
{
    std::vector<std::string> rows;
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::string row(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)) + 1, '\0');
        row.resize(static_cast<size_t>(SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row.data()))));
        rows.push_back(AnsiToUtf8(row));
    }
    return rows;
}

int Selection(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)); }

// The open wizard seen from outside: its controls by ID, its pages (child
// dialogs, in creation order: welcome, agreement, model, port, confirmation).
class View {
public:
    explicit View(const CDlgInstall& wizard) : m_frame(wizard.m_hWnd) {}
    HWND Frame() const { return m_frame; }
    HWND Item(int id) const { return GetDlgItem(m_frame, id); }
    std::string ItemText(int id) const { return Text(Item(id)); }
    void Click(int id) const { SendMessageA(Item(id), BM_CLICK, 0, 0); }

    std::vector<HWND> Pages() const
    {
        std::vector<HWND> pages;
        for (HWND child = GetWindow(m_frame, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char className[16] = {};
            GetClassNameA(child, className, sizeof className);
            if (lstrcmpA(className, "#32770") == 0)
                pages.push_back(child);
        }
        return pages;
    }
    // Step 1 to 5.
    HWND Page(int step) const
    {
        std::vector<HWND> pages = Pages();
        return step >= 1 && step <= static_cast<int>(pages.size()) ? pages[step - 1] : nullptr;
    }
    HWND PageItem(int step, int id) const { return GetDlgItem(Page(step), id); }
    // The step whose page is visible; 0 when none or more than one is.
    int Shown() const
    {
        int shown = 0;
        std::vector<HWND> pages = Pages();
        for (size_t i = 0; i < pages.size(); ++i) {
            if (IsWindowVisible(pages[i])) {
                if (shown)
                    return 0;
                shown = static_cast<int>(i) + 1;
            }
        }
        return shown;
    }

private:
    HWND m_frame;
};

// Message boxes of the program, recorded instead of shown (answered IDOK),
// together with whether the owner's top-level window was visible. While a
// hold is set, boxes of other threads (the install worker's) wait for it.
struct Box {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
    bool ownerShown;
};
std::mutex g_boxLock;
std::vector<Box> g_boxes;
HANDLE g_workerHold = nullptr;
DWORD g_uiThread = 0;

int WINAPI RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    {
        std::lock_guard<std::mutex> lock(g_boxLock);
        g_boxes.push_back({owner, AnsiToUtf8(text ? text : ""), AnsiToUtf8(caption ? caption : ""), type,
                           owner && IsWindowVisible(GetAncestor(owner, GA_ROOT)) != FALSE});
    }
    if (g_workerHold && GetCurrentThreadId() != g_uiThread)
        WaitForSingleObject(g_workerHold, 10000);
    return IDOK;
}

class BoxRecorder {
public:
    BoxRecorder() : m_op(g_ops.MessageBoxA, RecordBox)
    {
        std::lock_guard<std::mutex> lock(g_boxLock);
        g_boxes.clear();
        g_uiThread = GetCurrentThreadId();
    }
    std::vector<Box> Boxes() const
    {
        std::lock_guard<std::mutex> lock(g_boxLock);
        return g_boxes;
    }

private:
    ScopedOp<decltype(EngineOps::MessageBoxA)> m_op;
};

// Every test: boxes recorded, the selection strings at known values, the
// sample install folder (with its agreement.txt) as current directory.
class Wizard : public testing::Test {
protected:
    void SetUp() override
    {
        g_selectedModel = "model before";
        g_selectedPort = "port before";
    }

    // Steps to reach `step` from the welcome page with Next.
    void NextTo(TimerScript& script, CDlgInstall& wizard, int step)
    {
        script.WaitFor([&] { return IsWindowVisible(wizard.m_hWnd) != FALSE; }, "the wizard");
        for (int i = 1; i < step; ++i)
            script.Do([&] { View(wizard).Click(IDC_NEXT); });
    }

    BoxRecorder m_boxes;
    ScopedInstallFolder m_folder;
};

}  // namespace

TEST(Environment, CatalogueLanguageIsTheOneExpected)
{
    const char* expect = std::getenv("KORVA_EXPECT_CATALOGUE");
    ASSERT_NE(expect, nullptr) << "the test runner sets KORVA_EXPECT_CATALOGUE";
    EXPECT_EQ(Chinese(), std::strcmp(expect, "zh") == 0);
}

TEST_F(Wizard, OpensOnTheWelcomePageWithEveryPageOnThePageArea)
{
    CDlgInstall wizard;
    TimerScript script;
    NextTo(script, wizard, 1);
    script.Do([&] {
        View view(wizard);
        EXPECT_EQ(Text(view.Frame()), Lang("KORVA Impact Printer Driver Setup Wizard", "岚鹊微型打印机驱动程序安装向导"));
        EXPECT_EQ(view.Shown(), 1);
        EXPECT_FALSE(IsWindowEnabled(view.Item(IDC_BACK)));
        EXPECT_TRUE(IsWindowEnabled(view.Item(IDC_NEXT)));
        EXPECT_TRUE(IsWindowEnabled(view.Item(IDCANCEL)));
        EXPECT_EQ(view.ItemText(IDC_BACK), Lang("<Back", "<上一步"));
        EXPECT_EQ(view.ItemText(IDC_NEXT), Lang("Next>", "下一步>"));
        EXPECT_EQ(view.ItemText(IDCANCEL), Lang("Cancel", "取消"));
        EXPECT_EQ(Text(view.PageItem(1, IDC_WELCOME_TEXT)),
                  Lang("Welcome to use KORVA Impact Printer driver setup wizard", "欢迎使用岚鹊微型打印机驱动程序安装向导"));

        RECT area;
        GetWindowRect(view.Item(IDC_PAGE_AREA), &area);
        EXPECT_FALSE(IsWindowVisible(view.Item(IDC_PAGE_AREA)));
        ASSERT_EQ(view.Pages().size(), 5u);
        for (int step = 1; step <= 5; ++step) {
            SCOPED_TRACE(step);
            HWND page = view.Page(step);
            RECT r;
            GetWindowRect(page, &r);
            EXPECT_TRUE(EqualRect(&r, &area)) << r.left << "," << r.top << " " << r.right - r.left << "x"
                                              << r.bottom - r.top;
            EXPECT_EQ(GetParent(page), view.Frame());
            EXPECT_TRUE(GetWindowLongPtrA(page, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
        }
        view.Click(IDCANCEL);
    });
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

// Each language's templates: the texts as given, the controls that only one
// language has, and the agreement note that only the Chinese page shows.
TEST_F(Wizard, PagesShowTheirLanguagesTexts)
{
    struct Item {
        int step, id;
        const char* english;  // nullptr: not in the English page
        const char* chinese;  // nullptr: not in the Chinese page
        bool visible;         // in the language where it exists
    };
    const Item items[] = {
        {1, IDC_PAGE_TEXT, "Suggest to close all the other applicetions before installer the driver.",
         "建议您先关闭其他所有应用程序，然后再运行本安装向导。", true},
        {2, IDC_HEADING, "License Agreement. ", "请阅读以下许可协议，使用滚动条查看整个协议。", true},
        {2, IDC_SUBHEADING, "Please read the following license agreement carefully.", nullptr, true},
        {2, IDC_PAGE_TEXT,
         "If you accept the terms in the license agreement, please choose [Accept] and the setup wizard will go on, "
         "If choose [Decline] the setup will interrupt and return.",
         "是否接受上述所有许可协议条款？如果选择【不接受】，安装程序将关闭。要安装该打印机，您必须接受此协议。",
         Chinese()},  // present but hidden in English
        {3, IDC_HEADING, "Printer Models:", "请选择您正在安装的打印机型号。", true},
        {3, IDC_PAGE_TEXT, nullptr, "型号：", true},
        {4, IDC_HEADING, nullptr, "请选择您的打印机要使用的端口，然后单击“下一步”。", true},
        {4, IDC_PAGE_TEXT, "Printer Ports:", "使用以下端口：", true},
        {5, IDC_PAGE_TEXT, "the setup will according to these setting:", "即将按照以下注册信息开始安装:", true},
        {5, IDC_MODEL_LABEL, "---Printer Model:", "---打印机型号：", true},
        {5, IDC_PORT_LABEL, "---Printer Port:", "---打印机端口：", true},
        {5, IDC_SUBHEADING, "If adjust these setting, click [Back].", "如果要对此设置进行修改，请单击“上一步”。", true},
    };
    CDlgInstall wizard;
    TimerScript script;
    NextTo(script, wizard, 1);
    script.Do([&] {
        View view(wizard);
        for (const Item& item : items) {
            SCOPED_TRACE(testing::Message() << "page " << item.step << ", control " << item.id);
            HWND control = view.PageItem(item.step, item.id);
            const char* expected = Lang(item.english, item.chinese);
            if (!expected) {
                EXPECT_EQ(control, nullptr);
                continue;
            }
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(Text(control), expected);
            EXPECT_EQ((GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0, item.visible);
        }
        view.Click(IDCANCEL);
    });
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
}

TEST_F(Wizard, AgreementPageTurnsNextAndCancelIntoAcceptAndDecline)
{
    const std::string next = Lang("Next>", "下一步>"), cancel = Lang("Cancel", "取消");
    const std::string accept = Lang("Accept", "接受"), decline = Lang("Decline", "不接受");
    CDlgInstall wizard;
    TimerScript script;
    NextTo(script, wizard, 2);
    script
        .Do([&] {
            View view(wizard);
            EXPECT_EQ(view.Shown(), 2);
            EXPECT_TRUE(IsWindowEnabled(view.Item(IDC_BACK)));
            EXPECT_EQ(view.ItemText(IDC_NEXT), accept);
            EXPECT_EQ(view.ItemText(IDCANCEL), decline);
            // Accept with Enter from inside the agreement box, so that the
            // focus on Next afterwards is the page change's doing.
            HWND box = view.PageItem(2, IDC_AGREEMENT_TEXT);
            SetFocus(box);
            ASSERT_EQ(GetFocus(), box);
            PostMessageA(box, WM_KEYDOWN, VK_RETURN, 1);
        })
        .Do([&] {
            View view(wizard);
            EXPECT_EQ(view.Shown(), 3);
            EXPECT_EQ(view.ItemText(IDC_NEXT), next);
            EXPECT_EQ(view.ItemText(IDCANCEL), cancel);
            EXPECT_EQ(GetFocus(), view.Item(IDC_NEXT));
            view.Click(IDC_BACK);
            EXPECT_EQ(view.Shown(), 2);
            EXPECT_EQ(view.ItemText(IDC_NEXT), accept);
            EXPECT_EQ(view.ItemText(IDCANCEL), decline);
            view.Click(IDC_BACK);
            EXPECT_EQ(view.Shown(), 1);
            EXPECT_EQ(view.ItemText(IDC_NEXT), next);
            EXPECT_EQ(view.ItemText(IDCANCEL), cancel);
            EXPECT_FALSE(IsWindowEnabled(view.Item(IDC_BACK)));
            EXPECT_EQ(GetFocus(), view.Item(IDC_NEXT));
            view.Click(IDC_NEXT);
            EXPECT_EQ(view.ItemText(IDCANCEL), decline);
            view.Click(IDCANCEL);
        });
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    EXPECT_EQ(g_selectedModel, "model before");
    EXPECT_EQ(g_selectedPort, "port before");
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(Wizard, ModelsInCatalogueOrderAndPortsInTheSpoolersOrder)
{
    const std::vector<std::string> models =
        Chinese() ? std::vector<std::string>{"岚鹊KD-810 标准版", "岚鹊KD-810 票据A版", "岚鹊KD-810 票据B版",
                                             "岚鹊KD-810 保单A版", "岚鹊KD-820 标准版", "岚鹊KD-820 票据A版",
                                             "岚鹊KD-820 票据B版"}
                  : std::vector<std::string>{"KORVA KD-900II", "KORVA KD-900Pro"};
    // The spooler's own answer, asked directly.
    std::vector<std::string> ports;
    DWORD needed = 0, count = 0;
    EnumPortsA(nullptr, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(EnumPortsA(nullptr, 1, buffer.data(), needed, &needed, &count));
    for (DWORD i = 0; i < count; ++i)
        ports.push_back(AnsiToUtf8(reinterpret_cast<PORT_INFO_1A*>(buffer.data())[i].pName));
    int lpt1 = -1;
    for (size_t i = 0; i < ports.size(); ++i)
        if (ports[i] == "LPT1:")
            lpt1 = static_cast<int>(i);
    ASSERT_GE(lpt1, 0) << "Wine's spooler has LPT1:";

    CDlgInstall wizard;
    TimerScript script;
    NextTo(script, wizard, 1);
    script.Do([&] {
        View view(wizard);
        EXPECT_EQ(Rows(view.PageItem(3, IDC_LIST)), models);
        EXPECT_EQ(Selection(view.PageItem(3, IDC_LIST)), 0);
        EXPECT_EQ(Rows(view.PageItem(4, IDC_LIST)), ports);
        EXPECT_EQ(Selection(view.PageItem(4, IDC_LIST)), lpt1);
        view.Click(IDCANCEL);
    });
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

namespace {

// A spooler port enumeration that answers from a list, and fails on request.
struct FakePorts {
    std::vector<std::string> names;
    DWORD sizeQueryError;  // 0: the size query succeeds
    bool fillFails;
};
FakePorts g_fakePorts;

BOOL WINAPI FakeEnumPorts(LPSTR, DWORD, LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned)
{
    const std::vector<std::string>& names = g_fakePorts.names;
    DWORD total = static_cast<DWORD>(names.size() * sizeof(PORT_INFO_1A));
    for (const std::string& name : names)
        total += static_cast<DWORD>(name.size() + 1);
    *needed = total;
    *returned = 0;
    if (!buffer) {
        if (!g_fakePorts.sizeQueryError)
            return TRUE;
        SetLastError(g_fakePorts.sizeQueryError);
        return FALSE;
    }
    if (g_fakePorts.fillFails || size < total) {
        SetLastError(g_fakePorts.fillFails ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* records = reinterpret_cast<PORT_INFO_1A*>(buffer);
    char* strings = reinterpret_cast<char*>(buffer + names.size() * sizeof(PORT_INFO_1A));
    for (size_t i = 0; i < names.size(); ++i) {
        std::memcpy(strings, names[i].c_str(), names[i].size() + 1);
        records[i].pName = strings;
        strings += names[i].size() + 1;
    }
    *returned = static_cast<DWORD>(names.size());
    return TRUE;
}

}  // namespace

TEST_F(Wizard, PortPageListsWhatTheSpoolerAnswersAndReportsFailuresWhileOpening)
{
    struct Case {
        const char* name;
        FakePorts ports;
        std::vector<std::string> rows;
        int selected;
        const char* english;  // the message shown, nullptr for none
        const char* chinese;
    };
    const Case cases[] = {
        {"spooler's order, exact LPT1: chosen", {{"USB001", "LPT1:", "COM1:", "LPT1: "}, ERROR_INSUFFICIENT_BUFFER, false},
         {"USB001", "LPT1:", "COM1:", "LPT1: "}, 1, nullptr, nullptr},
        {"LPT1: compared case-sensitively", {{"lpt1:", "FILE:"}, ERROR_INSUFFICIENT_BUFFER, false},
         {"lpt1:", "FILE:"}, -1, nullptr, nullptr},
        {"size query needs no buffer", {{}, 0, false}, {}, -1, "Can't find the deviceport list!", "无法查找当前设备端口列表!"},
        {"size query fails", {{"LPT1:"}, ERROR_ACCESS_DENIED, false}, {}, -1, "Can't find the deviceport list!",
         "无法查找当前设备端口列表!"},
        {"enumeration fails", {{"LPT1:"}, ERROR_INSUFFICIENT_BUFFER, true}, {}, -1, "EnumPort fail!",
         "枚举当前设备端口失败!"},
    };
    ScopedOp<decltype(EngineOps::EnumPortsA)> enumPorts(g_ops.EnumPortsA, FakeEnumPorts);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_fakePorts = c.ports;
        BoxRecorder boxes;
        CDlgInstall wizard;
        TimerScript script;
        NextTo(script, wizard, 1);
        script.Do([&] {
            View view(wizard);
            EXPECT_EQ(Rows(view.PageItem(4, IDC_LIST)), c.rows);
            EXPECT_EQ(Selection(view.PageItem(4, IDC_LIST)), c.selected);
            std::vector<Box> shown = boxes.Boxes();
            const char* message = Lang(c.english, c.chinese);
            ASSERT_EQ(shown.size(), message ? 1u : 0u);
            if (message) {
                EXPECT_EQ(shown[0].text, message);
                EXPECT_EQ(shown[0].caption, Lang("INFO", "安装提示"));
                EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
                EXPECT_EQ(shown[0].owner, view.Page(4));
                EXPECT_FALSE(shown[0].ownerShown) << "shown while the wizard opens";
            }
            view.Click(IDCANCEL);
        });
        EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    }
}

// Without a model or a port the final Next writes the (partly empty)
// selection, refuses with message 257 and stays on the confirmation page.
TEST_F(Wizard, FinalNextRefusesAnEmptyChoice)
{
    struct Case {
        const char* name;
        int clearedStep;  // the page whose list loses its selection
    };
    const Case cases[] = {{"no port", 4}, {"no model", 3}};
    const std::string firstModel = Lang("KORVA KD-900II", "岚鹊KD-810 标准版");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BoxRecorder boxes;
        CDlgInstall wizard;
        TimerScript script;
        NextTo(script, wizard, c.clearedStep);
        script.Do([&] {
            View view(wizard);
            SendMessageA(view.PageItem(c.clearedStep, IDC_LIST), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
            for (int step = c.clearedStep; step < 5; ++step)
                view.Click(IDC_NEXT);
            ASSERT_EQ(view.Shown(), 5);
            std::string model = c.clearedStep == 3 ? "" : firstModel;
            std::string port = c.clearedStep == 4 ? "" : "LPT1:";
            EXPECT_EQ(Text(view.PageItem(5, IDC_MODEL_VALUE)), model);
            EXPECT_EQ(Text(view.PageItem(5, IDC_PORT_VALUE)), port);

            view.Click(IDC_NEXT);
            std::vector<Box> shown = boxes.Boxes();
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].text, Lang("Please select the printer model and port before setup go on!",
                                          "请选择要安装的打印机和端口，否则无法正确安装！"));
            EXPECT_EQ(shown[0].caption, Lang("INFO", "安装提示"));
            EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
            EXPECT_EQ(shown[0].owner, view.Frame());
            EXPECT_TRUE(IsWindowVisible(view.Frame()));
            EXPECT_EQ(view.Shown(), 5);
            EXPECT_EQ(Text(view.PageItem(5, IDC_MODEL_VALUE)), model);
            EXPECT_EQ(Text(view.PageItem(5, IDC_PORT_VALUE)), port);
            EXPECT_EQ(AnsiToUtf8(g_selectedModel), model);
            EXPECT_EQ(AnsiToUtf8(g_selectedPort), port);

            view.Click(IDC_BACK);
            EXPECT_EQ(view.Shown(), 4);
            view.Click(IDCANCEL);
        });
        EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    }
}

TEST_F(Wizard, ChoiceChangedAfterBackShowsOnTheConfirmationPage)
{
    CDlgInstall wizard;
    TimerScript script;
    NextTo(script, wizard, 5);
    script.Do([&] {
        View view(wizard);
        EXPECT_EQ(Text(view.PageItem(5, IDC_PORT_VALUE)), "LPT1:");
        view.Click(IDC_BACK);
        view.Click(IDC_BACK);
        HWND models = view.PageItem(3, IDC_LIST);
        SendMessageA(models, LB_SETCURSEL, 1, 0);
        std::string model = Rows(models)[1];
        view.Click(IDC_NEXT);
        HWND ports = view.PageItem(4, IDC_LIST);
        int file = static_cast<int>(SendMessageA(ports, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                 reinterpret_cast<LPARAM>("FILE:")));
        ASSERT_GE(file, 0);
        SendMessageA(ports, LB_SETCURSEL, file, 0);
        view.Click(IDC_NEXT);
        EXPECT_EQ(view.Shown(), 5);
        EXPECT_EQ(Text(view.PageItem(5, IDC_MODEL_VALUE)), model);
        EXPECT_EQ(Text(view.PageItem(5, IDC_PORT_VALUE)), "FILE:");
        view.Click(IDCANCEL);
    });
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    EXPECT_EQ(g_selectedModel, "model before") << "Cancel writes no selection";
}

// Tab walks from the frame's buttons into the page shown and on; Enter and
// Escape inside a page press Next and Cancel, also in the agreement box,
// which as a multi-line edit would keep both keys for itself.
TEST_F(Wizard, KeysInsidePages)
{
    struct Case {
        const char* name;
        int step;     // the page shown
        int control;  // on that page, focused before the key
        WPARAM key;
        int shownAfter;  // 0: the wizard has ended with Cancel
    };
    const Case cases[] = {
        {"Enter in the agreement box", 2, IDC_AGREEMENT_TEXT, VK_RETURN, 3},
        {"Escape in the agreement box", 2, IDC_AGREEMENT_TEXT, VK_ESCAPE, 0},
        {"Enter in the model list", 3, IDC_LIST, VK_RETURN, 4},
        {"Escape in the port list", 4, IDC_LIST, VK_ESCAPE, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDlgInstall wizard;
        TimerScript script;
        NextTo(script, wizard, c.step);
        script.Do([&] {
            HWND control = View(wizard).PageItem(c.step, c.control);
            SetFocus(control);
            ASSERT_EQ(GetFocus(), control);
            PostMessageA(control, WM_KEYDOWN, c.key, 1);
        });
        if (c.shownAfter) {
            script.Do([&] {
                EXPECT_EQ(View(wizard).Shown(), c.shownAfter);
                View(wizard).Click(IDCANCEL);
            });
        }
        EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    }

    CDlgInstall wizard;
    TimerScript script;
    NextTo(script, wizard, 3);
    script
        .Do([&] {
            View view(wizard);
            SetFocus(view.Item(IDCANCEL));
            PostMessageA(view.Item(IDCANCEL), WM_KEYDOWN, VK_TAB, 1);
        })
        .Do([&] {
            View view(wizard);
            EXPECT_EQ(GetFocus(), view.PageItem(3, IDC_LIST)) << "from Cancel into the model list";
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        })
        .Do([&] {
            View view(wizard);
            EXPECT_EQ(GetFocus(), view.Item(IDC_BACK)) << "from the model list back to the frame";
            view.Click(IDCANCEL);
        });
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
}

TEST_F(Wizard, AgreementTextAsStoredOrEmpty)
{
    // Text in the system's code page with its own line ends, Chinese in the Chinese run.
    const std::string stored = Utf8ToAnsi(Lang("LICENCE\r\n  1. Terms \xC3\xA4\xC3\xB6\xC3\xBC\r\n\r\nend",
                                                "许可协议\r\n  第一条 条款\r\n\r\n完"));
    const std::string big(kAgreementReadLimit + 100, 'a');
    struct Case {
        const char* name;
        bool exists;
        std::string content;
        bool locked;
        std::string shown;
    };
    const Case cases[] = {
        {"as stored", true, stored, false, stored},
        {"missing", false, "", false, ""},
        {"empty", true, "", false, ""},
        {"up to a zero byte", true, std::string("first part\0second part", 22), false, "first part"},
        {"locked by another opener", true, "locked text", true, ""},
        {"larger than the bound", true, big, false, big.substr(0, kAgreementReadLimit)},
    };
    std::string path = JoinPath(m_folder.Path(), "agreement.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(path.c_str());
        if (c.exists) {
            ASSERT_TRUE(WriteWholeFile(path, c.content));
        }
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (c.locked) {
            lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        }
        BoxRecorder boxes;
        CDlgInstall wizard;
        TimerScript script;
        NextTo(script, wizard, 2);
        script.Do([&] {
            HWND box = View(wizard).PageItem(2, IDC_AGREEMENT_TEXT);
            int len = GetWindowTextLengthA(box);
            std::string text(static_cast<size_t>(len) + 1, '\0');
            text.resize(static_cast<size_t>(GetWindowTextA(box, text.data(), len + 1)));
            EXPECT_EQ(text.size(), c.shown.size());
            EXPECT_TRUE(text == c.shown) << "shown: " << text.substr(0, 80);
            View(wizard).Click(IDC_NEXT);
            EXPECT_EQ(View(wizard).Shown(), 3) << "Accept leads on";
            View(wizard).Click(IDCANCEL);
        });
        EXPECT_EQ(wizard.DoModal(), IDCANCEL);
        EXPECT_TRUE(boxes.Boxes().empty());
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
    }
}

namespace {

constexpr UINT kLauncherTemplate = 300;

// Stands in for the launcher: the application's main window, whose driver
// button runs a fresh wizard modally. Like the real one it refuses a click
// while it is disabled: on Wine a posted BM_CLICK still reaches the button
// of a disabled window.
class StandInLauncher : public CDialog {
public:
    StandInLauncher() : CDialog(kLauncherTemplate) {}

    CDlgInstall* wizard = nullptr;  // while one runs
    int wizardRuns = 0;
    int refusedClicks = 0;
    INT_PTR wizardResult = -1;
    bool enabledWhenWizardReturned = false;

protected:
    bool OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) != IDC_DRIVER)
            return CDialog::OnCommand(wParam, lParam);
        if (!IsWindowEnabled()) {
            ++refusedClicks;
            return true;
        }
        ++wizardRuns;
        CDlgInstall dlg;
        wizard = &dlg;
        wizardResult = dlg.DoModal();
        enabledWhenWizardReturned = IsWindowEnabled() != FALSE;
        wizard = nullptr;
        return true;
    }
};

}  // namespace

// The whole road: the launcher's button opens the wizard, a model and a port
// changed after Back are installed for real behind the progress window, and
// the launcher stays disabled (a click on it refused) until the wizard's run
// has ended after the progress window closed.
TEST_F(Wizard, FinalNextInstallsTheChoiceBehindTheProgressWindow)
{
    InitCommonControlClasses(ICC_PROGRESS_CLASS);  // as the application start does
    ScopedSpoolerState spooler;
    KernelHandle hold(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    g_workerHold = hold.Get();  // the worker's boxes wait until the test has looked
    CWinApp app;
    StandInLauncher launcher;
    app.m_pMainWnd = &launcher;
    std::string model;
    HWND frame = nullptr, progress = nullptr;

    TimerScript script;
    script.WaitFor([&] { return IsWindowVisible(launcher.m_hWnd) != FALSE; }, "the launcher")
        .Do([&] { SendMessageA(launcher.GetDlgItem(IDC_DRIVER), BM_CLICK, 0, 0); })
        .WaitFor([&] { return launcher.wizard && IsWindowVisible(launcher.wizard->m_hWnd); }, "the wizard")
        .Do([&] {
            View view(*launcher.wizard);
            frame = view.Frame();
            EXPECT_EQ(GetWindow(frame, GW_OWNER), launcher.m_hWnd);
            EXPECT_FALSE(launcher.IsWindowEnabled());
            for (int step = 1; step < 5; ++step)
                view.Click(IDC_NEXT);
            view.Click(IDC_BACK);
            view.Click(IDC_BACK);
            SendMessageA(view.PageItem(3, IDC_LIST), LB_SETCURSEL, 1, 0);
            model = Rows(view.PageItem(3, IDC_LIST))[1];
            view.Click(IDC_NEXT);
            HWND ports = view.PageItem(4, IDC_LIST);
            SendMessageA(ports, LB_SETCURSEL,
                         SendMessageA(ports, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>("FILE:")),
                         0);
            view.Click(IDC_NEXT);
            ASSERT_EQ(view.Shown(), 5);
            EXPECT_EQ(Text(view.PageItem(5, IDC_MODEL_VALUE)), model);
            EXPECT_EQ(Text(view.PageItem(5, IDC_PORT_VALUE)), "FILE:");
        })
        .Do([&] {
            // Returns when the progress window has closed.
            View(*launcher.wizard).Click(IDC_NEXT);
            EXPECT_NE(progress, nullptr);
            EXPECT_FALSE(IsWindow(progress));
            EXPECT_FALSE(launcher.IsWindowEnabled()) << "disabled until the wizard's run ends";
        })
        .WaitFor([&] { return g_progressDialog && IsWindowVisible(g_progressDialog); }, "the progress window")
        .Do([&] {
            progress = g_progressDialog;
            EXPECT_FALSE(IsWindowVisible(frame)) << "the wizard closes before the progress window opens";
            EXPECT_EQ(GetWindow(progress, GW_OWNER), nullptr);
            EXPECT_EQ(AnsiToUtf8(g_selectedModel), model);
            EXPECT_EQ(g_selectedPort, "FILE:");
            EXPECT_FALSE(launcher.IsWindowEnabled());
            PostMessageA(launcher.GetDlgItem(IDC_DRIVER), BM_CLICK, 0, 0);
        })
        .Do([&] {
            EXPECT_EQ(launcher.refusedClicks, 1) << "the click arrived while the launcher was disabled";
            EXPECT_EQ(launcher.wizardRuns, 1) << "no second wizard during the install";
            SetEvent(hold.Get());
        })
        .WaitFor([&] { return launcher.wizard == nullptr; }, "the end of the wizard's run", 60000)
        .Do([&] {
            EXPECT_EQ(launcher.wizardResult, 1);
            EXPECT_TRUE(launcher.enabledWhenWizardReturned);
            EXPECT_EQ(launcher.wizardRuns, 1);
            launcher.EndDialog(IDOK);
        });
    EXPECT_EQ(launcher.DoModal(), IDOK);
    g_workerHold = nullptr;

    std::vector<Box> shown = m_boxes.Boxes();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().text, model + Lang(" Setup Complete!", "驱动程序安装完毕!"));
    PrinterRecord printer = ReadPrinter(Utf8ToAnsi(model));
    EXPECT_TRUE(printer.found);
    EXPECT_EQ(AnsiToUtf8(printer.driver), model);
    EXPECT_EQ(printer.port, "FILE:");
    spooler.Restore();
    ClearDriverDirectory();
    EXPECT_FALSE(ReadPrinter(Utf8ToAnsi(model)).found);
}
