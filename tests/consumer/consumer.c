/* Another program's use of what Vorlane offers: the round-rect button and
   EXIST, with the message numbers written out as the documentation gives
   them, never taken from our header.

   Built twice. consumer_by_name loads "Vorlane.exe" with LoadLibraryA and
   takes the five functions by name and by ordinal; it also runs a copy of
   itself beside a lone copy of Vorlane.exe, where the library is missing and
   every lookup must fail cleanly. consumer_linked links the library through
   its import library and calls the functions directly.

   Both must sit in the folder of Vorlane.exe and its library. */
#include <windows.h>
#include <oleauto.h>

#include <stdio.h>
#include <string.h>

#include "rrbutton/rrbutton.h"

typedef void(WINAPI* InitFunction)(void);
typedef int(WINAPI* ExistFunction)(const char* const*);
typedef HWND(WINAPI* CreateFunction)(HWND, int, const char*, int, int, int, int, DWORD, DWORD, BOOL);
typedef HWND(WINAPI* MakeFunction)(HWND, int, const char*, int, int, int, int, DWORD, DWORD, const char*,
                                   const char*, BOOL);
typedef HWND(WINAPI* MakeUrlFunction)(HWND, int, const char*, int, int, int, int, DWORD, DWORD, const char*,
                                      const char*, const char*, BOOL);

static struct {
    InitFunction init;
    ExistFunction exist;
    CreateFunction create;
    MakeFunction make;
    MakeUrlFunction makeUrl;
} api;

static int failures;

static void CheckEqual(int line, const char* what, long long expected, long long actual)
{
    if (expected != actual) {
        printf("line %d: %s: expected %lld (0x%llx), got %lld (0x%llx)\n", line, what, expected,
               (unsigned long long)expected, actual, (unsigned long long)actual);
        failures++;
    }
}

#define CHECK_EQ(what, expected, actual) CheckEqual(__LINE__, what, (long long)(expected), (long long)(actual))
#define CHECK(what, condition) CHECK_EQ(what, 1, (condition) ? 1 : 0)

/* ---- The numbers of the public header, against the documented ones -------- */

#define NUMBER(name, offset) {#name, name, WM_USER + (offset)}

static void CheckHeaderNumbers(void)
{
    static const struct {
        const char* name;
        unsigned header;
        unsigned documented;
    } numbers[] = {
        NUMBER(RRBM_SETCORNER, 1), NUMBER(RRBM_SETFACECOLOR, 2), NUMBER(RRBM_SETBKMODE, 4),
        NUMBER(RRBM_SETTEXTBKCOLOR, 5), NUMBER(RRBM_SETTEXTCOLOR, 6), NUMBER(RRBM_SETPRESSEDTEXTCOLOR, 7),
        NUMBER(RRBM_SETHOTTEXTCOLOR, 8), NUMBER(RRBM_SETTEXTSHADOW, 9), NUMBER(RRBM_SETDEFAULT, 10),
        NUMBER(RRBM_SETFIXEDLOOK, 11), NUMBER(RRBM_SETCURSOR, 12), NUMBER(RRBM_SETCLICKABLE, 13),
        NUMBER(RRBM_REDRAW, 14), NUMBER(RRBM_SETTEXTFORMAT, 20), NUMBER(RRBM_SETTEXTMARGINLEFT, 23),
        NUMBER(RRBM_SETTEXTMARGINTOP, 24), NUMBER(RRBM_SETTEXTMARGINRIGHT, 25),
        NUMBER(RRBM_SETTEXTMARGINBOTTOM, 26), NUMBER(RRBM_SETIMAGEPOS, 40), NUMBER(RRBM_SETIMAGESIZE, 41),
        NUMBER(RRBM_SETIMAGENOSHIFT, 42), NUMBER(RRBM_SETIMAGEMARGINLEFT, 43), NUMBER(RRBM_SETIMAGEMARGINTOP, 44),
        NUMBER(RRBM_SETIMAGEMARGINRIGHT, 45), NUMBER(RRBM_SETIMAGEMARGINBOTTOM, 46), NUMBER(RRBM_LOADIMAGE, 47),
        NUMBER(RRBM_LOADHOTIMAGE, 48), NUMBER(RRBM_LOADPRESSEDIMAGE, 49), NUMBER(RRBM_LOADDISABLEDIMAGE, 50),
        NUMBER(RRBM_GETCORNER, 101), NUMBER(RRBM_GETFACECOLOR, 102), NUMBER(RRBM_GETFACEBRUSH, 103),
        NUMBER(RRBM_GETBKMODE, 104), NUMBER(RRBM_GETTEXTBKCOLOR, 105), NUMBER(RRBM_GETTEXTCOLOR, 106),
        NUMBER(RRBM_GETPRESSEDTEXTCOLOR, 107), NUMBER(RRBM_GETHOTTEXTCOLOR, 108), NUMBER(RRBM_GETTEXTSHADOW, 109),
        NUMBER(RRBM_GETDEFAULT, 110), NUMBER(RRBM_GETFIXEDLOOK, 111), NUMBER(RRBM_GETCLICKABLE, 112),
        NUMBER(RRBM_GETTEXTFORMAT, 120), NUMBER(RRBM_GETTEXTMARGINLEFT, 123), NUMBER(RRBM_GETTEXTMARGINTOP, 124),
        NUMBER(RRBM_GETTEXTMARGINRIGHT, 125), NUMBER(RRBM_GETTEXTMARGINBOTTOM, 126),
        NUMBER(RRBM_GETIMAGEPOS, 140), NUMBER(RRBM_GETIMAGEWIDTH, 141), NUMBER(RRBM_GETIMAGEHEIGHT, 142),
        NUMBER(RRBM_GETIMAGEMARGINLEFT, 143), NUMBER(RRBM_GETIMAGEMARGINTOP, 144),
        NUMBER(RRBM_GETIMAGEMARGINRIGHT, 145), NUMBER(RRBM_GETIMAGEMARGINBOTTOM, 146),
        NUMBER(RRBM_GETIMAGENAME, 147), NUMBER(RRBN_RAISED, 230), NUMBER(RRBN_SUNKEN, 231),
        NUMBER(RRBN_FLAT, 232),
    };
    size_t i;
    for (i = 0; i < sizeof numbers / sizeof numbers[0]; i++)
        CHECK_EQ(numbers[i].name, numbers[i].documented, numbers[i].header);
    CHECK("class name", strcmp(RRBUTTON_CLASS_NAME, "RRBUTTON") == 0);
}

/* ---- Taking the functions --------------------------------------------------- */

#ifndef CONSUMER_LINKED
static const char* const ExportNames[] = {"InitRRButtonClass", "EXIST", "CreateRRButton", "MakeRRButton",
                                          "MakeRRButtonURL"};

static FARPROC* ApiSlot(int ordinal)
{
    FARPROC* slots[] = {(FARPROC*)&api.init, (FARPROC*)&api.exist, (FARPROC*)&api.create, (FARPROC*)&api.make,
                        (FARPROC*)&api.makeUrl};
    return slots[ordinal - 1];
}

static int TakeFunctionsFromVorlane(void)
{
    int ordinal;
    HMODULE vorlane = LoadLibraryA("Vorlane.exe");
    CHECK("Vorlane.exe loads", vorlane != NULL);
    if (!vorlane)
        return 0;
    for (ordinal = 1; ordinal <= 5; ordinal++) {
        const FARPROC byName = GetProcAddress(vorlane, ExportNames[ordinal - 1]);
        const FARPROC byOrdinal = GetProcAddress(vorlane, MAKEINTRESOURCEA(ordinal));
        CHECK(ExportNames[ordinal - 1], byName != NULL);
        CHECK_EQ(ExportNames[ordinal - 1], (INT_PTR)byName, (INT_PTR)byOrdinal);
        *ApiSlot(ordinal) = byName;
    }
    return api.init && api.exist && api.create && api.make && api.makeUrl;
}
#else
static void TakeLinkedFunctions(void)
{
    api.init = InitRRButtonClass;
    api.exist = EXIST;
    api.create = CreateRRButton;
    api.make = MakeRRButton;
    api.makeUrl = MakeRRButtonURL;
}
#endif

/* ---- EXIST -------------------------------------------------------------------- */

static int Exist(const char* name)
{
    BSTR text = SysAllocStringByteLen(name, (UINT)strlen(name));
    const char* handle = (const char*)text;
    const int answer = api.exist(&handle);
    SysFreeString(text);
    return answer;
}

static void CheckExist(const char* folder, const char* self)
{
    char name[MAX_PATH * 2];
    const char* none = NULL;
    CHECK_EQ(self, -1, Exist(self));
    CHECK_EQ(folder, -1, Exist(folder));
    snprintf(name, sizeof name, "%s\\consumer_*.exe", folder);
    CHECK_EQ(name, -1, Exist(name));
    snprintf(name, sizeof name, "%s\\no such track.mp3", folder);
    CHECK_EQ(name, 0, Exist(name));
    CHECK_EQ("a null handle", 0, api.exist(&none));
}

/* ---- Buttons in a window of our own -------------------------------------- */

static struct {
    WPARAM commandWParam;
    LPARAM commandLParam;
    int commands;
    int flatNotices;
} heard;

static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        heard.commandWParam = wParam;
        heard.commandLParam = lParam;
        heard.commands++;
    } else if (message == WM_USER + 232) {
        heard.flatNotices++;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void Pump(void)
{
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

/* A click as the mouse makes one: the button tests the real pointer, so the
   pointer goes to the button's middle first. */
static void Click(HWND button, int id)
{
    RECT place;
    POINT at = {0, 0};
    int tries;
    GetWindowRect(button, &place);
    SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    for (tries = 0; tries < 200 && GetCursorPos(&at) && at.x != (place.left + place.right) / 2; tries++)
        Sleep(5);
    CHECK_EQ("the pointer moved to the button", (place.left + place.right) / 2, at.x);
    memset(&heard, 0, sizeof heard);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    CHECK_EQ("one click", 1, heard.commands);
    CHECK_EQ("the click's id", id, LOWORD(heard.commandWParam));
    CHECK_EQ("BN_CLICKED", BN_CLICKED, HIWORD(heard.commandWParam));
    CHECK_EQ("the click's window", (INT_PTR)button, heard.commandLParam);
}

static void CheckButtons(void)
{
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    WNDCLASSA parentClass = {0, ParentProc, 0, 0, GetModuleHandleA(NULL), NULL, NULL, NULL, NULL, "ConsumerParent"};
    HWND parent, plain, made, link;
    char name[48];

    api.init();
    api.init(); /* again: the class is there already, and that is fine */
    RegisterClassA(&parentClass);
    parent = CreateWindowExA(0, "ConsumerParent", "Consumer", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, NULL, NULL,
                             GetModuleHandleA(NULL), NULL);
    plain = api.create(parent, 501, "Plain", 10, 10, 90, 30, style, 0, FALSE);
    made = api.make(parent, 502, "Made", 10, 50, 90, 30, style, 0, "no.such.icon", "", FALSE);
    link = api.makeUrl(parent, 503, "Link", 10, 90, 90, 30, style, 0, "", "", "", FALSE);
    CHECK("three buttons", plain && made && link);
    if (!plain || !made || !link)
        return;
    memset(&heard, 0, sizeof heard);
    UpdateWindow(parent);
    Pump();
    CHECK("a fresh button tells its parent it is flat", heard.flatNotices >= 1);

    /* Settings, with the numbers written out. */
    CHECK_EQ("corner at creation", 5, SendMessageA(plain, WM_USER + 101, 0, 0));
    SendMessageA(plain, WM_USER + 1, 12, 0);
    CHECK_EQ("corner as set", 12, SendMessageA(plain, WM_USER + 101, 0, 0));
    SendMessageA(plain, WM_USER + 6, RGB(1, 2, 3), 1);
    CHECK_EQ("text colour as set", RGB(1, 2, 3), SendMessageA(plain, WM_USER + 106, 0, 0));
    CHECK_EQ("image place of MakeRRButton beside a caption", -4, SendMessageA(made, WM_USER + 140, 0, 0));
    CHECK_EQ("caption margin of MakeRRButton", 12, SendMessageA(made, WM_USER + 123, 0, 0));
    memset(name, 0, sizeof name);
    SendMessageA(made, WM_USER + 147, (WPARAM)name, 0);
    CHECK("image name", strcmp(name, "no.such.icon") == 0);
    CHECK_EQ("link colour", RGB(0, 0, 255), SendMessageA(link, WM_USER + 106, 0, 0));
    CHECK_EQ("link colour while hot", RGB(0, 0, 255), SendMessageA(link, WM_USER + 108, 0, 0));
    CHECK_EQ("link colour while pressed", RGB(255, 0, 0), SendMessageA(link, WM_USER + 107, 0, 0));
    CHECK_EQ("a link has a fixed look", 1, SendMessageA(link, WM_USER + 111, 0, 0));
    CHECK_EQ("a link takes clicks", 1, SendMessageA(link, WM_USER + 112, 0, 0));

    Click(plain, 501);
    Click(made, 502);
    Click(link, 503);
    DestroyWindow(parent);
}

/* ---- Without the library ---------------------------------------------------- */
#ifndef CONSUMER_LINKED

/* In a folder that holds Vorlane.exe but not its library, every lookup fails
   and the program goes on. */
static int RunWithoutLibrary(void)
{
    int ordinal, found = 0;
    HMODULE vorlane = LoadLibraryA("Vorlane.exe");
    if (!vorlane) {
        printf("Vorlane.exe did not load\n");
        return 2;
    }
    for (ordinal = 1; ordinal <= 5; ordinal++) {
        SetLastError(0);
        if (GetProcAddress(vorlane, ExportNames[ordinal - 1]) || GetLastError() == 0)
            found++;
        if (GetProcAddress(vorlane, MAKEINTRESOURCEA(ordinal)))
            found++;
    }
    printf("%d of 10 lookups answered without the library\n", found);
    return found == 0 ? 0 : 3;
}

static void CheckWithoutLibrary(const char* folder, const char* self)
{
    char lone[MAX_PATH], copy[MAX_PATH * 2], command[MAX_PATH * 3];
    STARTUPINFOA start;
    PROCESS_INFORMATION process;
    DWORD status = 99;

    GetTempPathA(sizeof lone, lone);
    snprintf(lone + strlen(lone), sizeof lone - strlen(lone), "vorlane-consumer-%lu", GetCurrentProcessId());
    CreateDirectoryA(lone, NULL);
    snprintf(copy, sizeof copy, "%s\\Vorlane.exe", folder);
    snprintf(command, sizeof command, "%s\\Vorlane.exe", lone);
    CHECK("Vorlane.exe copied alone", CopyFileA(copy, command, FALSE));
    snprintf(copy, sizeof copy, "%s\\consumer.exe", lone);
    CHECK("the consumer copied", CopyFileA(self, copy, FALSE));
    snprintf(command, sizeof command, "\"%s\" --without-library", copy);
    memset(&start, 0, sizeof start);
    start.cb = sizeof start;
    if (CreateProcessA(copy, command, NULL, NULL, FALSE, 0, NULL, lone, &start, &process)) {
        CHECK_EQ("the lone copy finished", WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 60000));
        GetExitCodeProcess(process.hProcess, &status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CHECK_EQ("exit code without the library", 0, status);
    DeleteFileA(copy);
    snprintf(copy, sizeof copy, "%s\\Vorlane.exe", lone);
    DeleteFileA(copy);
    RemoveDirectoryA(lone);
}
#endif

int main(int argc, char** argv)
{
    char self[MAX_PATH], folder[MAX_PATH];
    char* slash;

#ifndef CONSUMER_LINKED
    if (argc > 1 && strcmp(argv[1], "--without-library") == 0)
        return RunWithoutLibrary();
#else
    (void)argc;
    (void)argv;
#endif

    GetModuleFileNameA(NULL, self, sizeof self);
    strcpy(folder, self);
    slash = strrchr(folder, '\\');
    if (slash)
        *slash = '\0';
    CheckHeaderNumbers();
#ifdef CONSUMER_LINKED
    TakeLinkedFunctions();
#else
    if (!TakeFunctionsFromVorlane()) {
        printf("FAILED: the functions could not be taken from Vorlane.exe\n");
        return 1;
    }
#endif
    CheckExist(folder, self);
    CheckButtons();
#ifndef CONSUMER_LINKED
    CheckWithoutLibrary(folder, self);
#endif
    printf(failures ? "FAILED: %d checks\n" : "passed\n", failures);
    return failures ? 1 : 0;
}
