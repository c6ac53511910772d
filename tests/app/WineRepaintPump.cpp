// Stands in for the display's refresh while a test watches the Windows app under Wine.
//
// JUCE 7 on Windows hands a window its repaints only on a vertical blank, which it waits for
// through DXGI; Wine 8's IDXGIOutput::WaitForVBlank is a stub that fails, so under Wine the
// window is painted only when the system asks it to. This asks, 60 times a second, of every
// visible top-level window with the given title, and ends once no such window has been there
// for two seconds (the app may make its window anew while it starts, so it looks every time).

#include <windows.h>

#include <cstring>

namespace
{
    struct Search
    {
        const char* title;
        bool found;
    };

    BOOL CALLBACK invalidateIfTitled (HWND window, LPARAM searchAddress)
    {
        auto& search = *reinterpret_cast<Search*> (searchAddress);
        char title[256] = {};

        if (IsWindowVisible (window) && GetWindowTextA (window, title, sizeof (title)) > 0
            && std::strcmp (title, search.title) == 0)
        {
            RedrawWindow (window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
            search.found = true;
        }

        return TRUE;
    }
}

int main (int argc, char** argv)
{
    if (argc != 2)
        return 2;

    constexpr int tickMilliseconds = 16, ticksToWaitForTheWindow = 180000 / tickMilliseconds,
                  ticksWithoutTheWindow = 2000 / tickMilliseconds;
    bool seen = false;

    for (int missingTicks = 0; missingTicks < (seen ? ticksWithoutTheWindow : ticksToWaitForTheWindow);)
    {
        Search search { argv[1], false };
        EnumWindows (invalidateIfTitled, reinterpret_cast<LPARAM> (&search));

        if (search.found)
        {
            seen = true;
            missingTicks = 0;
        }
        else
        {
            ++missingTicks;
        }

        Sleep (tickMilliseconds);
    }

    return 0;
}
