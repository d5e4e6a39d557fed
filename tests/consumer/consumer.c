/* Another program's use of what Vorlane offers: the round-rect button and
   EXIST, with the message numbers and ordinals written out as documented,
   never taken from our header.

   Built twice, and placed beside Vorlane.exe and its library.
   consumer_by_name loads "Vorlane.exe" with LoadLibraryA and takes the five
   functions by name and by ordinal; run with --without-library from a folder
   that holds only a copy of Vorlane.exe, it checks that every lookup fails
   cleanly. consumer_linked calls the functions through the import library,
   and finds each in the library's export table at its ordinal. */
#include <windows.h>
#include <oleauto.h>

#include <stdio.h>
#include <string.h>

#include "rrbutton/rrbutton.h"

static struct {
    __typeof__(InitRRButtonClass)* init;
    __typeof__(EXIST)* exist;
    __typeof__(CreateRRButton)* create;
    __typeof__(MakeRRButton)* make;
    __typeof__(MakeRRButtonURL)* makeUrl;
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
/* Each number of the header, with the documented WM_USER + n. */
static void CheckHeaderNumbers(void)
{
    // A table, laid out by hand.
    // clang-format off
    static const unsigned numbers[][2] = {
        {RRBM_SETCORNER, 1}, {RRBM_SETFACECOLOR, 2}, {RRBM_SETBKMODE, 4}, {RRBM_SETTEXTBKCOLOR, 5},
        {RRBM_SETTEXTCOLOR, 6}, {RRBM_SETPRESSEDTEXTCOLOR, 7}, {RRBM_SETHOTTEXTCOLOR, 8}, {RRBM_SETTEXTSHADOW, 9},
        {RRBM_SETDEFAULT, 10}, {RRBM_SETFIXEDLOOK, 11}, {RRBM_SETCURSOR, 12}, {RRBM_SETCLICKABLE, 13},
        {RRBM_REDRAW, 14}, {RRBM_SETTEXTFORMAT, 20}, {RRBM_SETTEXTMARGINLEFT, 23}, {RRBM_SETTEXTMARGINTOP, 24},
        {RRBM_SETTEXTMARGINRIGHT, 25}, {RRBM_SETTEXTMARGINBOTTOM, 26}, {RRBM_SETIMAGEPOS, 40}, {RRBM_SETIMAGESIZE, 41},
        {RRBM_SETIMAGENOSHIFT, 42}, {RRBM_SETIMAGEMARGINLEFT, 43}, {RRBM_SETIMAGEMARGINTOP, 44},
        {RRBM_SETIMAGEMARGINRIGHT, 45}, {RRBM_SETIMAGEMARGINBOTTOM, 46}, {RRBM_LOADIMAGE, 47}, {RRBM_LOADHOTIMAGE, 48},
        {RRBM_LOADPRESSEDIMAGE, 49}, {RRBM_LOADDISABLEDIMAGE, 50}, {RRBM_GETCORNER, 101}, {RRBM_GETFACECOLOR, 102},
        {RRBM_GETFACEBRUSH, 103}, {RRBM_GETBKMODE, 104}, {RRBM_GETTEXTBKCOLOR, 105}, {RRBM_GETTEXTCOLOR, 106},
        {RRBM_GETPRESSEDTEXTCOLOR, 107}, {RRBM_GETHOTTEXTCOLOR, 108}, {RRBM_GETTEXTSHADOW, 109}, {RRBM_GETDEFAULT, 110},
        {RRBM_GETFIXEDLOOK, 111}, {RRBM_GETCLICKABLE, 112}, {RRBM_GETTEXTFORMAT, 120}, {RRBM_GETTEXTMARGINLEFT, 123},
        {RRBM_GETTEXTMARGINTOP, 124}, {RRBM_GETTEXTMARGINRIGHT, 125}, {RRBM_GETTEXTMARGINBOTTOM, 126},
        {RRBM_GETIMAGEPOS, 140}, {RRBM_GETIMAGEWIDTH, 141}, {RRBM_GETIMAGEHEIGHT, 142}, {RRBM_GETIMAGEMARGINLEFT, 143},
        {RRBM_GETIMAGEMARGINTOP, 144}, {RRBM_GETIMAGEMARGINRIGHT, 145}, {RRBM_GETIMAGEMARGINBOTTOM, 146},
        {RRBM_GETIMAGENAME, 147}, {RRBN_RAISED, 230}, {RRBN_SUNKEN, 231}, {RRBN_FLAT, 232}};
    // clang-format on
    char what[40];
    size_t i;
    for (i = 0; i < sizeof numbers / sizeof numbers[0]; i++) {
        snprintf(what, sizeof what, "the number of WM_USER + %u", numbers[i][1]);
        CHECK_EQ(what, WM_USER + numbers[i][1], numbers[i][0]);
    }
    CHECK("class name", strcmp(RRBUTTON_CLASS_NAME, "RRBUTTON") == 0);
}

static const char* const ExportNames[] = {"InitRRButtonClass", "EXIST", "CreateRRButton", "MakeRRButton",
                                          "MakeRRButtonURL"};

/* The five functions of a module by name, each the one at its ordinal. Where
   Vorlane.exe stands without its library, every lookup fails and says why. */
static void TakeFunctions(const char* moduleName, int withLibrary)
{
    FARPROC* slots[] = {(FARPROC*)&api.init, (FARPROC*)&api.exist, (FARPROC*)&api.create, (FARPROC*)&api.make,
                        (FARPROC*)&api.makeUrl};
    const HMODULE module = LoadLibraryA(moduleName);
    int ordinal;
    CHECK(moduleName, module != NULL);
    for (ordinal = 1; module && ordinal <= 5; ordinal++) {
        SetLastError(0);
        *slots[ordinal - 1] = GetProcAddress(module, ExportNames[ordinal - 1]);
        CHECK(ExportNames[ordinal - 1], (*slots[ordinal - 1] != NULL) == withLibrary);
        CHECK("a failed lookup says why", withLibrary || GetLastError() != 0);
        CHECK_EQ(ExportNames[ordinal - 1], (INT_PTR)*slots[ordinal - 1],
                 (INT_PTR)GetProcAddress(module, MAKEINTRESOURCEA(ordinal)));
        if (withLibrary && module != GetModuleHandleA("VorlaneLib.dll")) /* Vorlane.exe's entry: the library's */
            CHECK_EQ(ExportNames[ordinal - 1], (INT_PTR)*slots[ordinal - 1],
                     (INT_PTR)GetProcAddress(GetModuleHandleA("VorlaneLib.dll"), ExportNames[ordinal - 1]));
    }
}

static int Exist(const char* name)
{
    BSTR text = SysAllocStringByteLen(name, (UINT)strlen(name));
    const char* handle = (const char*)text;
    const int answer = api.exist(&handle);
    SysFreeString(text);
    return answer;
}

static void CheckExist(void)
{
    char self[MAX_PATH], name[MAX_PATH + 32];
    const char* none = NULL;
    GetModuleFileNameA(NULL, self, sizeof self);
    CHECK_EQ(self, -1, Exist(self));
    *strrchr(self, '\\') = '\0';
    CHECK_EQ(self, -1, Exist(self)); /* a folder */
    snprintf(name, sizeof name, "%s\\consumer_*.exe", self);
    CHECK_EQ(name, -1, Exist(name));
    snprintf(name, sizeof name, "%s\\no such track.mp3", self);
    CHECK_EQ(name, 0, Exist(name));
    CHECK_EQ("a null handle", 0, api.exist(&none));
}

static struct {
    WPARAM wParam;
    LPARAM lParam;
    int commands, flatNotices;
} heard;

static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        heard.wParam = wParam;
        heard.lParam = lParam;
        heard.commands++;
    }
    heard.flatNotices += message == WM_USER + 232;
    return DefWindowProcA(window, message, wParam, lParam);
}

/* A click as the mouse makes one: the button tests the real pointer, so the
   pointer goes to the button's middle first. */
static void Click(HWND button, int id)
{
    RECT place;
    POINT at = {0, 0};
    int tries;
    GetWindowRect(button, &place);
    SetCursorPos(place.left + 20, place.top + 15);
    for (tries = 0; tries < 200 && GetCursorPos(&at) && at.x != place.left + 20; tries++)
        Sleep(5);
    CHECK_EQ("the pointer on the button", place.left + 20, at.x);
    memset(&heard, 0, sizeof heard);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 15));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(20, 15));
    CHECK_EQ("one click", 1, heard.commands);
    CHECK_EQ("the click's id", id, LOWORD(heard.wParam));
    CHECK_EQ("BN_CLICKED", BN_CLICKED, HIWORD(heard.wParam));
    CHECK_EQ("the click's window", (INT_PTR)button, heard.lParam);
}

/* Settings as another program sets and reads them, each row on a button of
   its own: made by CreateRRButton (0), MakeRRButton with a caption and an
   icon (1) or MakeRRButtonURL (2); a setter WM_USER + n with its wParam, or
   none; a getter WM_USER + n and its answer. */
static void CheckSettings(HWND parent)
{
    const COLORREF system = GetSysColor(COLOR_BTNFACE);
    const LONG_PTR face = system == 0 || system == 0xFFFFFF ? system : system + 0x080808; /* no channel above 247 */
    const LONG_PTR rows[][5] = {// made by, setter, wParam, getter, answer
                                {0, 0, 0, 101, 5},        {0, 0, 0, 140, -4},
                                {0, 0, 0, 120, 0x25},     {0, 0, 0, 112, 1},
                                {0, 0, 0, 104, 1},        {0, 0, 0, 141, 16},
                                {0, 0, 0, 102, face},     {0, 0, 0, 105, face},
                                {0, 0, 0, 103, 0},        {0, 1, -7, 101, 0},
                                {0, 10, 5, 110, 1},       {0, 11, 3, 111, 3},
                                {0, 11, 3, 112, 0},       {0, 40, -9, 140, -9},
                                {0, 3, 1, 3, 0},          {0, 6, 0x30201, 106, 0x30201},
                                {1, 0, 0, 140, -4},       {1, 0, 0, 143, 4},
                                {1, 0, 0, 123, 12},       {2, 0, 0, 106, 0xFF0000},
                                {2, 0, 0, 108, 0xFF0000}, {2, 0, 0, 107, 0x0000FF},
                                {2, 0, 0, 102, system},   {2, 0, 0, 111, 1},
                                {2, 0, 0, 112, 1},        {0, 2, 0x01000005, 102, 0x01000005}};
    char what[32];
    size_t i;
    for (i = 0; i < sizeof rows / sizeof rows[0]; i++) {
        const HWND button = rows[i][0] == 0 ? api.create(parent, 500, "", 0, 0, 75, 23, WS_CHILD, 0, FALSE)
                            : rows[i][0] == 1
                                ? api.make(parent, 500, "Made", 0, 0, 75, 23, WS_CHILD, 0, "x.ico", "", 0)
                                : api.makeUrl(parent, 500, "Link", 0, 0, 75, 23, WS_CHILD, 0, "", "", "", 0);
        if (rows[i][1])
            SendMessageA(button, WM_USER + (UINT)rows[i][1], (WPARAM)rows[i][2], 0);
        snprintf(what, sizeof what, "setting row %u", (unsigned)i);
        CHECK_EQ(what, rows[i][4], SendMessageA(button, WM_USER + (UINT)rows[i][3], 0, 0));
        DestroyWindow(button);
    }
}

static void CheckButtons(void)
{
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    WNDCLASSA parentClass = {0, ParentProc, 0, 0, GetModuleHandleA(NULL), NULL, NULL, NULL, NULL, "Consumer"};
    HWND parent, plain, made, link;
    RECT place;
    char name[48] = "";

    api.init();
    api.init(); /* again: the class is there already, and that is fine */
    RegisterClassA(&parentClass);
    parent = CreateWindowExA(0, "Consumer", "", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, NULL, NULL, NULL, NULL);
    plain = api.create(parent, 501, "Plain", 10, 10, 90, 30, style, 0, FALSE);
    made = api.make(parent, 502, "Made", 10, 50, 90, 30, style, 0, "no.such.icon", "", FALSE);
    link = api.makeUrl(parent, 503, "Link", 10, 90, 90, 30, style, 0, "", "", "", FALSE);
    CHECK("three buttons", plain && made && link);
    if (!plain || !made || !link)
        return;
    GetWindowRect(api.create(parent, 504, "", 10, 20, 40, 12, WS_CHILD, 0, TRUE), &place);
    CHECK_EQ("dialog units without a dialog: no width", 0, place.right - place.left);
    RedrawWindow(parent, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    CHECK_EQ("fresh buttons tell their parent they are flat", 3, heard.flatNotices);
    CheckSettings(parent);

    SendMessageA(made, WM_USER + 147, (WPARAM)name, 0);
    CHECK("its picture's name", strcmp(name, "no.such.icon") == 0);

    Click(plain, 501);
    Click(made, 502);
    Click(link, 503);
    DestroyWindow(parent);
}

int main(int argc, char** argv)
{
    CheckHeaderNumbers();
#ifdef CONSUMER_LINKED
    TakeFunctions("VorlaneLib.dll", 1);
    api.init = InitRRButtonClass;
    api.exist = EXIST;
    api.create = CreateRRButton;
    api.make = MakeRRButton;
    api.makeUrl = MakeRRButtonURL;
#else
    TakeFunctions("Vorlane.exe", argc < 2 || strcmp(argv[1], "--without-library") != 0);
    if (!api.init || !api.exist || !api.create || !api.make || !api.makeUrl) {
        printf(failures ? "FAILED: %d checks\n" : "every lookup failed cleanly\n", failures);
        return failures != 0;
    }
#endif
    (void)argc;
    (void)argv;
    CheckExist();
    CheckButtons();
    printf(failures ? "FAILED: %d checks\n" : "passed\n", failures);
    return failures != 0;
}
