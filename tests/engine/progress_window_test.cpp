// The progress window as the wizard opens it: a real modal dialog from this
// program's resources under Xvfb, its worker installing a real printer.
#include "engine/catalogue_ids.h"
#include "engine/handles.h"
#include "engine/ops.h"
#include "engine/progress.h"
#include "engine/progress_window.h"
#include "engine/selection.h"
#include "install_fixture.h"

#include <commctrl.h>
#include <process.h>

#include <mutex>
#include <thread>

namespace {

constexpr UINT kWatchdogMs = 30000;
constexpr DWORD kWorkerEndMs = 20000;

std::string WideToUtf8(const std::wstring& wide)
{
    int len = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(len > 0 ? len - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, out.data(), len, nullptr, nullptr);
    return out;
}

std::string WindowTextUtf8(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return WideToUtf8(text);
}

// Every label text and bar position the window showed, in order, recorded by
// subclassing both controls as the dialog manager creates them.
class ProgressWatch {
public:
    ProgressWatch()
    {
        s_labels.clear();
        s_bars.clear();
        m_hook = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
    }
    ~ProgressWatch() { UnhookWindowsHookEx(m_hook); }
    const std::vector<std::string>& Labels() const { return s_labels; }
    const std::vector<int>& Bars() const { return s_bars; }

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND) {
            auto* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
            INT_PTR id = reinterpret_cast<INT_PTR>(create->lpcs->hMenu);
            if ((create->lpcs->style & WS_CHILD) && (id == kProgressLabelId || id == kProgressBarId)) {
                HWND control = reinterpret_cast<HWND>(wParam);
                auto original = SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Watch));
                SetPropA(control, kOriginal, reinterpret_cast<HANDLE>(original));
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static LRESULT CALLBACK Watch(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto original = reinterpret_cast<WNDPROC>(GetPropA(control, kOriginal));
        int id = GetDlgCtrlID(control);
        if (id == kProgressLabelId && message == WM_SETTEXT)
            s_labels.push_back(reinterpret_cast<const char*>(lParam));
        if (id == kProgressBarId && message == PBM_SETPOS)
            s_bars.push_back(static_cast<int>(wParam));
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            RemovePropA(control, kOriginal);
        }
        return CallWindowProcA(original, control, message, wParam, lParam);
    }
    static constexpr const char* kOriginal = "KorvaOriginalProc";
    static inline std::vector<std::string> s_labels;
    static inline std::vector<int> s_bars;
    HHOOK m_hook = nullptr;
};

// A message box as the worker showed it, with the window's state at that moment.
struct Box {
    HWND owner = nullptr;
    std::string text, caption;  // UTF-8
    UINT type = 0;
    int bar = -1;
    std::string label;
    bool windowVisible = false;
};

// The progress window's look, read while the outcome box is up.
struct WindowFacts {
    std::string caption, staticText;
    RECT rect = {};
    HWND owner = nullptr;
    LONG style = 0, barStyle = 0, labelStyle = 0;
    int barLow = -1, barHigh = -1;
};

class Boxes {
public:
    Boxes() : m_op(g_ops.MessageBoxA, Record)
    {
        std::lock_guard<std::mutex> lock(s_lock);
        s_boxes.clear();
        s_facts = WindowFacts();
        s_worker.Close();
        if (!s_workerKnown.Valid())
            s_workerKnown.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        ResetEvent(s_workerKnown.Get());
    }
    std::vector<Box> Shown() const
    {
        std::lock_guard<std::mutex> lock(s_lock);
        return s_boxes;
    }
    WindowFacts Facts() const { return s_facts; }
    // Waits until the worker that showed the boxes has ended.
    bool WorkerEnded() const { return WaitForSingleObject(Worker(), kWorkerEndMs) == WAIT_OBJECT_0; }
    // The worker, once it has shown its first box.
    HANDLE Worker() const
    {
        if (WaitForSingleObject(s_workerKnown.Get(), kWorkerEndMs) != WAIT_OBJECT_0)
            return nullptr;
        return s_worker.Get();
    }

private:
    static int WINAPI Record(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
    {
        Box box;
        box.owner = owner;
        box.text = AnsiToUtf8(text ? text : "");
        box.caption = AnsiToUtf8(caption ? caption : "");
        box.type = type;
        box.bar = static_cast<int>(SendMessageA(g_progressBar, PBM_GETPOS, 0, 0));
        char label[32] = {};
        GetDlgItemTextA(g_progressDialog, kProgressLabelId, label, sizeof label);
        box.label = label;
        box.windowVisible = IsWindowVisible(g_progressDialog);
        std::lock_guard<std::mutex> lock(s_lock);
        if (s_boxes.empty())
            s_facts = ReadFacts(g_progressDialog);
        s_boxes.push_back(box);
        if (!s_worker.Valid() && GetCurrentThreadId() == g_workerThreadId) {
            HANDLE self = nullptr;
            DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, SYNCHRONIZE,
                            FALSE, 0);
            s_worker.Reset(self);
            SetEvent(s_workerKnown.Get());
        }
        return IDOK;
    }
    static WindowFacts ReadFacts(HWND dialog)
    {
        WindowFacts facts;
        facts.caption = WindowTextUtf8(dialog);
        facts.staticText = WindowTextUtf8(GetDlgItem(dialog, -1));
        GetWindowRect(dialog, &facts.rect);
        facts.owner = GetWindow(dialog, GW_OWNER);
        facts.style = GetWindowLongA(dialog, GWL_STYLE);
        HWND bar = GetDlgItem(dialog, kProgressBarId);
        facts.barStyle = GetWindowLongA(bar, GWL_STYLE);
        facts.labelStyle = GetWindowLongA(GetDlgItem(dialog, kProgressLabelId), GWL_STYLE);
        facts.barLow = static_cast<int>(SendMessageA(bar, PBM_GETRANGE, TRUE, 0));
        facts.barHigh = static_cast<int>(SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
        return facts;
    }
    static inline std::mutex s_lock;
    static inline KernelHandle s_worker;
    static inline KernelHandle s_workerKnown;
    static inline std::vector<Box> s_boxes;
    static inline WindowFacts s_facts;
    ScopedOp<decltype(EngineOps::MessageBoxA)> m_op;
};

bool g_timedOut = false;

void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD)
{
    // A window that never closes fails the test instead of hanging the run.
    g_timedOut = true;
    if (IsWindow(g_progressDialog))
        EndDialog(g_progressDialog, -1);
}

// Opens the window the way the wizard does and returns DialogBoxParamA's result.
INT_PTR OpenProgressWindow()
{
    g_timedOut = false;
    UINT_PTR timer = SetTimer(nullptr, 0, kWatchdogMs, Watchdog);
    INT_PTR result = DialogBoxParamA(nullptr, "ProcessBox", nullptr, ProgressDialogProc, 0);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(g_timedOut) << "the progress window did not close by itself";
    return result;
}

class ProgressWindow : public InstallFixture {
protected:
    void SetUp() override
    {
        InstallFixture::SetUp();
        // The application registers the control classes before any window opens.
        ASSERT_TRUE(InitCommonControlClasses(ICC_PROGRESS_CLASS));
    }
    std::string Outcome(unsigned entry) const { return AnsiToUtf8(TestModel() + CatalogueText(entry)); }
};

const std::vector<std::string> kEveryStep = {"0%", "10%", "20%", "60%", "80%", "100%"};
const std::vector<int> kEveryBar = {0, 10, 20, 60, 80, 100};

}  // namespace

TEST_F(ProgressWindow, InstallShowsEveryStepThenTheOutcomeAndClosesItself)
{
    std::string model = TestModel();
    for (int run = 0; run < 2; ++run) {
        // The second run starts at 0% although the first ended at 100%.
        SCOPED_TRACE(testing::Message() << "run " << run);
        ProgressWatch watch;
        Boxes boxes;
        EXPECT_EQ(OpenProgressWindow(), 0);
        ASSERT_TRUE(boxes.WorkerEnded());
        HWND dialog = g_progressDialog;
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_EQ(watch.Labels(), kEveryStep);
        EXPECT_EQ(watch.Bars(), kEveryBar);
        EXPECT_EQ(g_progressPercent, 100);

        auto shown = boxes.Shown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, Outcome(CAT_MSG_COMPLETE));
        EXPECT_EQ(shown[0].caption, AnsiToUtf8(CatalogueText(CAT_MSG_CAPTION)));
        EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_ICONINFORMATION));
        EXPECT_EQ(shown[0].owner, dialog);
        EXPECT_EQ(shown[0].bar, 100);
        EXPECT_EQ(shown[0].label, "100%");
        EXPECT_TRUE(shown[0].windowVisible);
        EXPECT_TRUE(ReadPrinter(run == 0 ? model : CopyName(model, 1)).found);
    }
}

TEST_F(ProgressWindow, OpensAtTheTopLeftWithTheTemplateOfTheLanguage)
{
    Boxes boxes;
    EXPECT_EQ(OpenProgressWindow(), 0);
    ASSERT_TRUE(boxes.WorkerEnded());
    WindowFacts facts = boxes.Facts();
    bool chinese = CatalogueIsChinese();
    EXPECT_EQ(facts.caption, chinese ? "安装进度" : "Setup Progress");
    EXPECT_EQ(facts.staticText, chinese ? "安装已完成" : "Setup complete");
    EXPECT_EQ(facts.rect.left, 0);
    EXPECT_EQ(facts.rect.top, 0);
    EXPECT_EQ(facts.owner, nullptr);
    const LONG style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(facts.style & style, style);
    EXPECT_TRUE(facts.barStyle & PBS_SMOOTH);
    EXPECT_EQ(facts.barLow, 0);
    EXPECT_EQ(facts.barHigh, 100);
    EXPECT_TRUE(facts.labelStyle & ES_READONLY);
    EXPECT_TRUE(facts.labelStyle & WS_DISABLED);
}

namespace {
// The outcome box as the system showed it, answered by a hook on the worker.
struct RealBox {
    bool seen = false;
    std::string caption, text;
    HWND owner = nullptr;
    bool informationIcon = false;
    bool windowVisible = false;
};
RealBox g_realBox;
HHOOK g_boxHook = nullptr;
KernelHandle g_hookedWorker;

BOOL CALLBACK ReadBoxChild(HWND child, LPARAM)
{
    char className[16] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") != 0)
        return TRUE;
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        g_realBox.informationIcon = icon && icon == LoadIconA(nullptr, IDI_INFORMATION);
    } else if (GetWindowTextLengthW(child) > 0) {
        g_realBox.text = WindowTextUtf8(child);
    }
    return TRUE;
}

LRESULT CALLBACK AnswerBox(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && !g_realBox.seen) {
        HWND box = reinterpret_cast<HWND>(wParam);
        g_realBox.seen = true;
        g_realBox.caption = WindowTextUtf8(box);
        g_realBox.owner = GetWindow(box, GW_OWNER);
        g_realBox.windowVisible = IsWindowVisible(g_progressDialog);
        EnumChildWindows(box, ReadBoxChild, 0);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Starts the worker as the window does, with the hook in place before it runs.
uintptr_t __cdecl StartHookedWorker(void* security, unsigned stackSize, unsigned(__stdcall* start)(void*),
                                    void* argument, unsigned flags, unsigned* threadId)
{
    uintptr_t thread = _beginthreadex(security, stackSize, start, argument, flags | CREATE_SUSPENDED, threadId);
    if (thread) {
        HANDLE copy = nullptr;
        DuplicateHandle(GetCurrentProcess(), reinterpret_cast<HANDLE>(thread), GetCurrentProcess(), &copy,
                        SYNCHRONIZE, FALSE, 0);
        g_hookedWorker.Reset(copy);
        g_boxHook = SetWindowsHookExA(WH_CBT, AnswerBox, nullptr, *threadId);
        ResumeThread(reinterpret_cast<HANDLE>(thread));
    }
    return thread;
}
}  // namespace

TEST_F(ProgressWindow, OutcomeBoxIsOwnedByTheWindowWhichClosesOnceItIsAnswered)
{
    ScopedOp<decltype(EngineOps::BeginThreadEx)> start(g_ops.BeginThreadEx, StartHookedWorker);
    g_realBox = RealBox();
    EXPECT_EQ(OpenProgressWindow(), 0);
    ASSERT_EQ(WaitForSingleObject(g_hookedWorker.Get(), kWorkerEndMs), WAIT_OBJECT_0);
    UnhookWindowsHookEx(g_boxHook);
    ASSERT_TRUE(g_realBox.seen);
    EXPECT_EQ(g_realBox.caption, AnsiToUtf8(CatalogueText(CAT_MSG_CAPTION)));
    EXPECT_EQ(g_realBox.text, Outcome(CAT_MSG_COMPLETE));
    EXPECT_EQ(g_realBox.owner, g_progressDialog);
    EXPECT_TRUE(g_realBox.informationIcon);
    EXPECT_TRUE(g_realBox.windowVisible);
    EXPECT_FALSE(IsWindow(g_progressDialog));
}

namespace {
HANDLE WINAPI RefusePrinter(LPSTR, DWORD, LPBYTE)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}
BOOL WINAPI UnparsableInf(PCSTR, PCSTR, DWORD, DWORD, PSTR, DWORD, PDWORD, PSTR*)
{
    SetLastError(0xE0000003);
    return FALSE;
}
BOOL WINAPI NoDriverDirectory(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD)
{
    SetLastError(ERROR_INVALID_ENVIRONMENT);
    return FALSE;
}
struct OpsSnapshot {
    EngineOps saved = g_ops;
    ~OpsSnapshot() { g_ops = saved; }
};
}  // namespace

TEST_F(ProgressWindow, FailureLeavesTheBarWhereItStoppedAndSaysSetupFail)
{
    struct Case {
        const char* what;
        void (*breakIt)();
        std::vector<unsigned> engineMessages;
        int percent;
    } cases[] = {
        {"printer", [] { g_ops.AddPrinterA = RefusePrinter; }, {CAT_MSG_REGISTRATION_FAILED}, 60},
        {"unparsable INF", [] { g_ops.SetupCopyOEMInfA = UnparsableInf; }, {CAT_MSG_INF_FAILED}, 10},
        {"driver directory", [] { g_ops.GetPrinterDriverDirectoryA = NoDriverDirectory; },
         {CAT_MSG_NO_DRIVER_DIR, CAT_MSG_STAGING_FAILED}, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpsSnapshot restore;
        c.breakIt();
        ProgressWatch watch;
        Boxes boxes;
        EXPECT_EQ(OpenProgressWindow(), 0);
        ASSERT_TRUE(boxes.WorkerEnded());
        auto shown = boxes.Shown();
        ASSERT_EQ(shown.size(), c.engineMessages.size() + 1);
        for (size_t i = 0; i < c.engineMessages.size(); ++i)
            EXPECT_EQ(shown[i].text, AnsiToUtf8(CatalogueText(c.engineMessages[i])));
        const Box& outcome = shown.back();
        EXPECT_EQ(outcome.text, Outcome(CAT_MSG_FAILED));
        EXPECT_EQ(outcome.type, static_cast<UINT>(MB_ICONERROR));
        EXPECT_EQ(outcome.owner, g_progressDialog);
        EXPECT_EQ(outcome.bar, c.percent);
        EXPECT_EQ(outcome.label, std::to_string(c.percent) + "%");
        EXPECT_FALSE(IsWindow(g_progressDialog));
        EXPECT_EQ(watch.Labels().back(), std::to_string(c.percent) + "%");
        EXPECT_FALSE(ReadPrinter(TestModel()).found);
        m_spooler.Restore();
        ClearDriverDirectory();
    }
}

namespace {
decltype(EngineOps::OpenPrinterA) g_realOpenPrinter;
bool g_openAfterClose = false;

// The user closes the window (close box, Alt+F4 and the system menu all end
// in SC_CLOSE) while the worker probes printer names.
BOOL WINAPI OpenPrinterAfterUserClose(LPSTR name, LPHANDLE printer, LPVOID defaults)
{
    if (!g_openAfterClose) {
        SendMessageA(g_progressDialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        SendMessageA(g_progressDialog, WM_CLOSE, 0, 0);
        g_openAfterClose = IsWindowVisible(g_progressDialog);
    }
    return g_realOpenPrinter(name, printer, defaults);
}
}  // namespace

TEST_F(ProgressWindow, UserCloseWhileTheInstallRunsIsIgnored)
{
    OpsSnapshot restore;
    g_realOpenPrinter = g_ops.OpenPrinterA;
    g_ops.OpenPrinterA = OpenPrinterAfterUserClose;
    g_openAfterClose = false;
    ProgressWatch watch;
    Boxes boxes;
    EXPECT_EQ(OpenProgressWindow(), 0);
    ASSERT_TRUE(boxes.WorkerEnded());
    EXPECT_TRUE(g_openAfterClose);
    EXPECT_EQ(watch.Labels(), kEveryStep);
    auto shown = boxes.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, Outcome(CAT_MSG_COMPLETE));
    EXPECT_TRUE(shown[0].windowVisible);
}

namespace {
uintptr_t __cdecl NoThread(void*, unsigned, unsigned(__stdcall*)(void*), void*, unsigned, unsigned*)
{
    errno = EAGAIN;
    return 0;
}
}  // namespace

TEST_F(ProgressWindow, WorkerThatCannotStartEndsTheWindowWithSetupFail)
{
    ScopedOp<decltype(EngineOps::BeginThreadEx)> op(g_ops.BeginThreadEx, NoThread);
    Boxes boxes;
    EXPECT_EQ(OpenProgressWindow(), 0);
    EXPECT_FALSE(IsWindow(g_progressDialog));
    auto shown = boxes.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, Outcome(CAT_MSG_FAILED));
    EXPECT_EQ(shown[0].caption, AnsiToUtf8(CatalogueText(CAT_MSG_CAPTION)));
    EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(shown[0].owner, g_progressDialog);
    EXPECT_TRUE(PrinterNames().count(TestModel()) == 0);
}

namespace {
// Stands in for the launcher, the window the user returns to.
class LauncherStandIn {
public:
    LauncherStandIn()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KorvaLauncherStandIn";
        RegisterClassA(&windowClass);
        m_window = CreateWindowExA(0, windowClass.lpszClassName, "launcher", WS_POPUP | WS_VISIBLE, 300, 300,
                                   100, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
        s_clicks = 0;
    }
    ~LauncherStandIn() { DestroyWindow(m_window); }
    HWND Window() const { return m_window; }
    int Clicks() const { return s_clicks; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_LBUTTONDOWN)
            ++s_clicks;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    static inline int s_clicks = 0;
    HWND m_window = nullptr;
};
}  // namespace

TEST_F(ProgressWindow, ClickPostedRightAfterTheInstallReachesTheLauncher)
{
    LauncherStandIn launcher;
    Boxes boxes;
    // Posts the click as soon as the worker, which closes the window, has ended.
    std::thread user([&] {
        if (WaitForSingleObject(boxes.Worker(), kWorkerEndMs) != WAIT_OBJECT_0)
            return;
        PostMessageA(launcher.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    });
    EXPECT_EQ(OpenProgressWindow(), 0);
    user.join();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    EXPECT_EQ(launcher.Clicks(), 1);
}
