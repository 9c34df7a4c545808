// Music playback: the music library is carried as a resource, written to a temporary file,
// loaded from there and driven through five of its functions.
#include "music/music.h"

#include "musiclib/include/bass.h"
#include "shell/shell.h"

char g_TempFileName[MAX_PATH];
HMODULE g_hBass = nullptr;
DWORD g_hMusic = 0;

static BASS_Free_t s_pBASS_Free = nullptr;
static BASS_Init_t s_pBASS_Init = nullptr;
static BASS_Start_t s_pBASS_Start = nullptr;
static BASS_MusicLoad_t s_pBASS_MusicLoad = nullptr;
static BASS_MusicPlay_t s_pBASS_MusicPlay = nullptr;

// Reports a loader failure and ends the process; exit code 0 as for every end of the program.
[[noreturn]] static void Loader_Fail(HWND hwnd, const char* text) {
    Fatal_Error(hwnd, -1, "%s", text);
    ExitProcess(0);
}

template <typename T> static T Resolve(const char* name) {
    // Through the generic function type, so that the cast between function types is plain.
    return reinterpret_cast<T>(reinterpret_cast<void (*)()>(GetProcAddress(g_hBass, name)));
}

void Load_BASS(HWND hwnd) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(self, "BASS_DLL", "DLL");
    DWORD size = info ? SizeofResource(self, info) : 0;
    HGLOBAL res = size ? LoadResource(self, info) : nullptr;
    const void* image = res ? LockResource(res) : nullptr;
    if (!image) Loader_Fail(hwnd, "Error: Can't get the BASS.DLL resource\n");

    // Without a directory or a freshly created name there is no file of ours to write into:
    // opening a stale or empty name could overwrite someone else's file.
    char tempPath[MAX_PATH];
    DWORD pathLen = GetTempPathA(MAX_PATH, tempPath);
    if (pathLen == 0 || pathLen >= MAX_PATH ||
        GetTempFileNameA(tempPath, "bas", 0, g_TempFileName) == 0)
        Loader_Fail(hwnd, "Error: Can't write BASS.DLL\n");

    HANDLE file = CreateFileA(g_TempFileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE) Loader_Fail(hwnd, "Error: Can't write BASS.DLL\n");
    // A short write leaves a damaged image, which then fails to load below.
    DWORD written = 0;
    WriteFile(file, image, size, &written, nullptr);
    CloseHandle(file);

    g_hBass = LoadLibraryA(g_TempFileName);
    if (!g_hBass) Loader_Fail(hwnd, "Error: Can't load BASS.DLL\n");

    s_pBASS_Free = Resolve<BASS_Free_t>("BASS_Free");
    s_pBASS_Init = Resolve<BASS_Init_t>("BASS_Init");
    s_pBASS_Start = Resolve<BASS_Start_t>("BASS_Start");
    s_pBASS_MusicLoad = Resolve<BASS_MusicLoad_t>("BASS_MusicLoad");
    s_pBASS_MusicPlay = Resolve<BASS_MusicPlay_t>("BASS_MusicPlay");
    // A library without all five functions is not the one we need: calling through a missing
    // one would crash, so it counts as a library that cannot be loaded.
    if (!s_pBASS_Free || !s_pBASS_Init || !s_pBASS_Start || !s_pBASS_MusicLoad ||
        !s_pBASS_MusicPlay)
        Loader_Fail(hwnd, "Error: Can't load BASS.DLL\n");
}

void MOD_Init(HWND hwnd) {
    Load_BASS(hwnd);
    if (!s_pBASS_Init(-1, 44100, 0, hwnd)) {
        Fatal_Error(hwnd, -1, "MOD_Init: Bass_Init() failed");
        return;
    }
    HRSRC info = FindResourceA(nullptr, "MOD1", "MODULES");
    if (!info) {
        Fatal_Error(hwnd, -1, "MOD_Init: FindResource() on MOD1 failed");
        return;
    }
    const void* module = LockResource(LoadResource(nullptr, info));
    g_hMusic = s_pBASS_MusicLoad(1, module, 0, 0, 5);
    if (!g_hMusic) Fatal_Error(hwnd, -1, "MOD_Init: BASS_MusicLoad() on MOD1 failed");
}

void MOD_Play() {
    // Only a loaded module is played; after a failure the program is already on its way out.
    if (!g_hMusic) return;
    s_pBASS_Start();
    s_pBASS_MusicPlay(g_hMusic);
}

void MOD_Free() {
    if (g_hMusic) s_pBASS_Free();
}
