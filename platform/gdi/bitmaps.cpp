// Bitmaps and icons: blank bitmaps for memory DCs, and the program's bitmap and icon resources,
// decoded once per resource and shared by every handle loaded from it.
// Knowingly lacks: monochrome bitmaps (every bitmap is 32-bit colour), named (string) resources.
#include <map>
#include <memory>
#include "platform/gdi/bmp_ico_reader.h"
#include "platform/gdi/bmp_reader.h"
#include "platform/gdi/dc.h"
#include "platform/kernel/resource_table.h"
#include "platform/win_user.h"

namespace {

const ResourceEntry* FindById(HINSTANCE instance, LPCWSTR type, LPCWSTR name)
{
    if (!name || !IS_INTRESOURCE(name)) return nullptr;
    UINT id = UINT(reinterpret_cast<UINT_PTR>(name));
    const ResourceEntry* e = FindResourceEntry(instance, type, id);
    if (!e || !e->data || e->size == 0) return nullptr;
    return e;
}

using ResourceKey = std::pair<const void*, DWORD>;

// Decoded pixels per resource; a resource that fails to decode is remembered as null.
std::shared_ptr<PixelBuffer> CachedBitmapPixels(const ResourceEntry& e)
{
    static std::map<ResourceKey, std::shared_ptr<PixelBuffer>> cache;
    ResourceKey key{e.data, e.size};
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    std::shared_ptr<PixelBuffer> pixels;
    DecodedImage img;
    if (DecodeBmp(e.data, e.size, &img)) {
        pixels = std::make_shared<PixelBuffer>();
        pixels->width = img.width;
        pixels->height = img.height;
        pixels->pixels = std::move(img.pixels);
    }
    cache.emplace(key, pixels);
    return pixels;
}

}  // namespace

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height)
{
    if (!LookupGdi<GdiDc>(hdc) || width < 0 || height < 0) return nullptr;
    if (width == 0 || height == 0) width = height = 1;
    if (width > kMaxImageSide || height > kMaxImageSide || (long long)width * height > kMaxImagePixels) return nullptr;
    auto pixels = std::make_shared<PixelBuffer>();
    pixels->width = width;
    pixels->height = height;
    pixels->pixels.assign(std::size_t(width) * height, 0);
    return static_cast<HBITMAP>(AddGdiObject(GdiObject{GdiKind::Bitmap, false, 0, GdiBitmap{pixels, false}}));
}

HBITMAP LoadBitmap(HINSTANCE instance, LPCWSTR name)
{
    const ResourceEntry* e = FindById(instance, RT_BITMAP, name);
    if (!e) return nullptr;
    std::shared_ptr<PixelBuffer> pixels = CachedBitmapPixels(*e);
    if (!pixels) return nullptr;
    GetStockObject(WHITE_BRUSH);
    return static_cast<HBITMAP>(AddGdiObject(GdiObject{GdiKind::Bitmap, false, 0, GdiBitmap{pixels, true}}));
}

// Icons from LoadIcon are shared, as Win32's are: one handle per resource for the whole run.
HICON LoadIcon(HINSTANCE instance, LPCWSTR name)
{
    static std::map<ResourceKey, HICON> cache;
    const ResourceEntry* e = FindById(instance, RT_GROUP_ICON, name);
    if (!e) return nullptr;
    ResourceKey key{e->data, e->size};
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    auto images = std::make_shared<std::vector<IconImage>>();
    HICON icon = nullptr;
    if (DecodeIco(e->data, e->size, images.get())) {
        GetStockObject(WHITE_BRUSH);
        icon = static_cast<HICON>(AddGdiObject(GdiObject{GdiKind::Icon, false, 0, GdiIcon{images, true}}));
    }
    cache.emplace(key, icon);
    return icon;
}

const std::vector<IconImage>* IconImagesOf(HICON icon)
{
    GdiIcon* ic = LookupGdi<GdiIcon>(icon);
    return ic && ic->images ? ic->images.get() : nullptr;
}

BOOL DestroyIcon(HICON icon)
{
    GdiIcon* ic = LookupGdi<GdiIcon>(icon);
    if (!ic) return FALSE;
    if (!ic->shared) RemoveGdiObject(icon);
    return TRUE;  // a shared icon stays for the other users of its resource
}
