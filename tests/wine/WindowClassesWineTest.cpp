// The toolkit's window classes against Wine's window manager, with the program's own icon.
#include <windows.h>

#include <cstring>
#include <string>

#include "WineTest.h"
#include "win32/toolkit/WindowClasses.h"

namespace lumora::winetest {
namespace {

const char* const kIcon = "LUMORA_ICON";
const char* const kFrame = "LumoraTestFrame";
const char* const kInner = "LumoraTestInner";

// The width of an icon's image; 0 when the handle is no icon (any more).
int IconWidth(HICON icon)
{
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// The width that the icon resource's image nearest to size x size was drawn at.
int ImageWidthFor(HINSTANCE instance, int size)
{
    const HRSRC group = FindResourceA(instance, kIcon, MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    if (!group) return 0;
    const auto directory = static_cast<PBYTE>(LockResource(LoadResource(instance, group)));
    const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    const HRSRC image = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));  // RT_ICON
    if (!image) return 0;
    BITMAPINFOHEADER header{};
    std::memcpy(&header, LockResource(LoadResource(instance, image)), sizeof header);
    return header.biWidth;
}

TEST(WindowClassesWine, FrameClassShowsTheIconsOwnSmallImageAndReleasesItWithTheClasses)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const int smallSize = GetSystemMetrics(SM_CXSMICON);
    const int largeSize = GetSystemMetrics(SM_CXICON);
    EXPECT_EQ(ImageWidthFor(instance, smallSize), smallSize);
    EXPECT_EQ(ImageWidthFor(instance, largeSize), largeSize);

    HICON small = nullptr;
    HICON large = nullptr;
    {
        win32::WindowClasses classes;
        ASSERT_TRUE(classes.Register(instance, DefWindowProcA, kIcon, kFrame, {kInner}));
        WNDCLASSEXA frame{};
        frame.cbSize = sizeof frame;
        ASSERT_TRUE(GetClassInfoExA(instance, kFrame, &frame));
        small = frame.hIconSm;
        large = frame.hIcon;
        EXPECT_EQ(IconWidth(small), smallSize);
        EXPECT_EQ(IconWidth(large), largeSize);
        WNDCLASSEXA inner{};
        inner.cbSize = sizeof inner;
        ASSERT_TRUE(GetClassInfoExA(instance, kInner, &inner));
        EXPECT_TRUE(inner.hIcon == nullptr);
    }
    WNDCLASSEXA gone{};
    gone.cbSize = sizeof gone;
    EXPECT_FALSE(GetClassInfoExA(instance, kFrame, &gone));
    EXPECT_FALSE(GetClassInfoExA(instance, kInner, &gone));
    // The small icon was the classes' own and went with them; the shared large one stays.
    EXPECT_EQ(IconWidth(small), 0);
    EXPECT_EQ(IconWidth(large), largeSize);
}

TEST(WindowClassesWine, ClassesWithAWindowLeftKeepTheSmallIcon)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    HICON small = nullptr;
    HWND window = nullptr;
    {
        win32::WindowClasses classes;
        ASSERT_TRUE(classes.Register(instance, DefWindowProcA, kIcon, kFrame, {kInner}));
        window = CreateWindowExA(0, kFrame, "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, instance, nullptr);
        ASSERT_TRUE(window != nullptr);
        small = reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICONSM));
    }
    EXPECT_EQ(IconWidth(small), GetSystemMetrics(SM_CXSMICON));
    DestroyWindow(window);
    UnregisterClassA(kFrame, instance);
    DestroyIcon(small);
}

}  // namespace
}  // namespace lumora::winetest
