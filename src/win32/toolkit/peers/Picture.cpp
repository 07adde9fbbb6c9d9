// Pictures from the program's resources; GIFs go through OLE loaded at run time.
#include "win32/toolkit/peers/Picture.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>
#include <utility>

#include "win32/ports/FunctionLookup.h"

namespace lumora::win32 {

namespace {

// IID_IPicture, spelt out so that no import library is needed for it.
const IID kIidPicture = {0x7BF80980, 0xBF32, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

using CoInitializeFn = HRESULT(WINAPI*)(LPVOID);
using CoUninitializeFn = void(WINAPI*)();
using CreateStreamOnHGlobalFn = HRESULT(WINAPI*)(HGLOBAL, BOOL, LPSTREAM*);
using OleLoadPictureFn = HRESULT(WINAPI*)(LPSTREAM, LONG, BOOL, REFIID, LPVOID*);

class Library {
public:
    explicit Library(const char* name) : module_(LoadLibraryA(name)) {}
    ~Library()
    {
        if (module_) FreeLibrary(module_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    template <typename Function>
    Function Find(const char* name) const
    {
        return LookUpFunction<Function>(module_, name);
    }

private:
    HMODULE module_;
};

// A COM object reference released at the end of its scope.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ~ComRef()
    {
        if (object_) object_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    Interface** Out() { return &object_; }
    Interface* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    Interface* object_ = nullptr;
};

// Renders the GIF resource onto the button face. OLE32 and OLEAUT32 are looked up here, not
// imported: a Windows 95 machine without them still starts and falls back to the bitmap.
HBITMAP LoadGif(HINSTANCE instance, const char* name, SIZE& size)
{
    HRSRC resource = FindResourceA(instance, name, "GIF");
    if (!resource) return nullptr;
    const DWORD bytes = SizeofResource(instance, resource);
    const void* data = LockResource(LoadResource(instance, resource));
    if (!data || bytes == 0) return nullptr;

    Library ole32("OLE32.DLL");
    Library oleaut32("OLEAUT32.DLL");
    const auto coInitialize = ole32.Find<CoInitializeFn>("CoInitialize");
    const auto coUninitialize = ole32.Find<CoUninitializeFn>("CoUninitialize");
    const auto createStream = ole32.Find<CreateStreamOnHGlobalFn>("CreateStreamOnHGlobal");
    const auto oleLoadPicture = oleaut32.Find<OleLoadPictureFn>("OleLoadPicture");
    if (!coInitialize || !coUninitialize || !createStream || !oleLoadPicture) return nullptr;

    // The decoders behind OleLoadPicture may be COM objects themselves.
    const bool initialized = SUCCEEDED(coInitialize(nullptr));
    HBITMAP result = nullptr;
    {
        HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, bytes);
        void* target = copy ? GlobalLock(copy) : nullptr;
        ComRef<IStream> stream;
        if (target) {
            std::memcpy(target, data, bytes);
            GlobalUnlock(copy);
            if (FAILED(createStream(copy, TRUE, stream.Out()))) {
                GlobalFree(copy);
            }
        } else if (copy) {
            GlobalFree(copy);
        }
        ComRef<IPicture> picture;
        if (stream && SUCCEEDED(oleLoadPicture(stream.operator->(), static_cast<LONG>(bytes), FALSE, kIidPicture,
                                               reinterpret_cast<void**>(picture.Out())))) {
            OLE_XSIZE_HIMETRIC width = 0;
            OLE_YSIZE_HIMETRIC height = 0;
            picture->get_Width(&width);
            picture->get_Height(&height);
            HDC screen = GetDC(nullptr);
            size.cx = MulDiv(width, GetDeviceCaps(screen, LOGPIXELSX), 2540);
            size.cy = MulDiv(height, GetDeviceCaps(screen, LOGPIXELSY), 2540);
            if (size.cx > 0 && size.cy > 0) {
                result = CreateCompatibleBitmap(screen, size.cx, size.cy);
                HDC memory = CreateCompatibleDC(screen);
                if (result && memory) {
                    HGDIOBJ old = SelectObject(memory, result);
                    RECT all{0, 0, size.cx, size.cy};
                    FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
                    picture->Render(memory, 0, 0, size.cx, size.cy, 0, height, width, -height, nullptr);
                    SelectObject(memory, old);
                }
                if (memory) DeleteDC(memory);
            }
            ReleaseDC(nullptr, screen);
        }
    }
    if (initialized) coUninitialize();
    return result;
}

// The logical screen size a GIF resource declares in its header; false for anything else.
bool GifSize(HINSTANCE instance, const char* name, SIZE& size)
{
    HRSRC resource = FindResourceA(instance, name, "GIF");
    if (!resource || SizeofResource(instance, resource) < 10) return false;
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(instance, resource)));
    if (!data || std::memcmp(data, "GIF", 3) != 0) return false;
    size.cx = data[6] | data[7] << 8;
    size.cy = data[8] | data[9] << 8;
    return size.cx > 0 && size.cy > 0;
}

}  // namespace

std::unique_ptr<Picture> Picture::Load(HINSTANCE instance, const std::string& name)
{
    if (name.empty()) return nullptr;
    std::unique_ptr<Picture> picture(new Picture());
    if (FindResourceA(instance, name.c_str(), RT_GROUP_ICON)) {
        const int cx = GetSystemMetrics(SM_CXICON);
        const int cy = GetSystemMetrics(SM_CYICON);
        picture->icon_ = static_cast<HICON>(LoadImageA(instance, name.c_str(), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
        if (picture->icon_) {
            picture->size_ = {cx, cy};
            return picture;
        }
    }
    SIZE size{0, 0};
    if (GifSize(instance, name.c_str(), size)) {
        picture->instance_ = instance;
        picture->gif_ = name;
        picture->size_ = size;
        return picture;
    }
    if (HBITMAP bitmap = LoadBitmapA(instance, name.c_str())) {
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        picture->bitmap_.Reset(bitmap);
        picture->size_ = {info.bmWidth, info.bmHeight};
        return picture;
    }
    return nullptr;
}

Picture::~Picture()
{
    if (icon_) DestroyIcon(icon_);
}

void Picture::Decode()
{
    const std::string name = std::move(gif_);
    gif_.clear();
    SIZE size{0, 0};
    if (HBITMAP gif = LoadGif(instance_, name.c_str(), size)) {
        bitmap_.Reset(gif);
        size_ = size;
    } else if (HBITMAP bitmap = LoadBitmapA(instance_, name.c_str())) {
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        bitmap_.Reset(bitmap);
        size_ = {info.bmWidth, info.bmHeight};
    }
}

void Picture::Draw(HDC dc, int x, int y)
{
    if (!gif_.empty()) Decode();
    if (icon_) {
        DrawIconEx(dc, x, y, icon_, size_.cx, size_.cy, 0, nullptr, DI_NORMAL);
        return;
    }
    if (!bitmap_) return;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return;
    HGDIOBJ old = SelectObject(memory, bitmap_.Get());
    BitBlt(dc, x, y, size_.cx, size_.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void DrawGlyph(HDC dc, HBITMAP strip, int sourceX, int width, int height, int x, int y)
{
    if (!strip || width <= 0 || height <= 0) return;
    BITMAP info{};
    GetObjectA(strip, sizeof info, &info);
    HDC source = CreateCompatibleDC(dc);
    HDC maskDc = CreateCompatibleDC(dc);
    GdiObject<HBITMAP> mask(CreateBitmap(width, height, 1, 1, nullptr));
    if (source && maskDc && mask) {
        HGDIOBJ oldSource = SelectObject(source, strip);
        HGDIOBJ oldMask = SelectObject(maskDc, mask.Get());
        const COLORREF key = GetPixel(source, 0, info.bmHeight - 1);
        // The mask is white where the key colour is, black elsewhere.
        SetBkColor(source, key);
        BitBlt(maskDc, 0, 0, width, height, source, sourceX, 0, SRCCOPY);
        const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        BitBlt(dc, x, y, width, height, source, sourceX, 0, SRCINVERT);
        BitBlt(dc, x, y, width, height, maskDc, 0, 0, SRCAND);
        BitBlt(dc, x, y, width, height, source, sourceX, 0, SRCINVERT);
        SetBkColor(dc, oldBack);
        SetTextColor(dc, oldText);
        SelectObject(maskDc, oldMask);
        SelectObject(source, oldSource);
    }
    if (maskDc) DeleteDC(maskDc);
    if (source) DeleteDC(source);
}

}  // namespace lumora::win32
