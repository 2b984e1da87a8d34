#pragma once
// The drawing-object table. Every drawing object (bitmap, region, pen, brush, font, device
// context) derives from TGdiObject and lives in one table; callers hold handles. A handle
// carries a generation count that grows for every object created, so a handle is never
// reused within a run and a stale handle simply fails to resolve.
//
// Objects are shared: a device context keeps the objects selected into it alive, so
// DeleteObject on a selected object invalidates its handle at once while the pixels and
// settings stay valid until the context lets go of them.

#include <cstdint>
#include <memory>

#include "platform/uQvHandles.h"

// Object types, as GetObjectType reports them.
enum : int {
    OBJ_PEN = 1,
    OBJ_BRUSH = 2,
    OBJ_DC = 3,
    OBJ_FONT = 6,
    OBJ_BITMAP = 7,
    OBJ_REGION = 8,
    OBJ_MEMDC = 10,
};

// Stock objects for GetStockObject.
enum : int {
    WHITE_BRUSH = 0,
    LTGRAY_BRUSH = 1,
    GRAY_BRUSH = 2,
    DKGRAY_BRUSH = 3,
    BLACK_BRUSH = 4,
    NULL_BRUSH = 5,
    HOLLOW_BRUSH = NULL_BRUSH,
    WHITE_PEN = 6,
    BLACK_PEN = 7,
    NULL_PEN = 8,
    OEM_FIXED_FONT = 10,
    ANSI_FIXED_FONT = 11,
    ANSI_VAR_FONT = 12,
    SYSTEM_FONT = 13,
    DEVICE_DEFAULT_FONT = 14,
    SYSTEM_FIXED_FONT = 16,
    DEFAULT_GUI_FONT = 17,
    DC_BRUSH = 18,
    DC_PEN = 19,
    STOCK_LAST = 19,
    // Internal: the 1 x 1 bitmap a new memory DC holds before a bitmap is selected.
    GDI_DEFAULT_BITMAP = 20,
};

// The base of every drawing object. Subclasses in other units (fonts) only need to report
// their type and, when they have one, their description for GetObject.
class TGdiObject {
public:
    virtual ~TGdiObject() = default;
    TGdiObject() = default;
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;

    // One of the OBJ_* values.
    virtual int ObjectType() const = 0;
    // Writes the object's description (BITMAP, DIBSECTION, LOGPEN, LOGBRUSH, LOGFONTW, ...)
    // to Buffer when Buffer is not null and Size is large enough. Returns the bytes
    // written, or the bytes needed when Buffer is null; 0 when the object has none or
    // Size is too small.
    virtual int Describe(int Size, void* Buffer) const;

    // The handle this object was given when added to the table (0 before that). It stays
    // set after the object was deleted, though the handle no longer resolves.
    HGDIOBJ Handle() const { return FHandle; }
    // Stock objects ignore DeleteObject.
    bool IsStock() const { return FStock; }

private:
    friend HGDIOBJ GdiAddObject(std::shared_ptr<TGdiObject> Object);
    friend bool GdiRemoveObject(HGDIOBJ Handle);
    friend HGDIOBJ GdiStockHandle(int Index, std::shared_ptr<TGdiObject> (*Create)(int));
    HGDIOBJ FHandle = nullptr;
    bool FStock = false;
};

// ---- Table access for the platform's units ---------------------------------------------

// Adds an object and returns its new handle (0 for a null object).
HGDIOBJ GdiAddObject(std::shared_ptr<TGdiObject> Object);
// Takes an object out of the table; false for an unknown handle. Holders of shared
// references keep the object alive.
bool GdiRemoveObject(HGDIOBJ Handle);
// The object of a handle, or null when the handle is unknown or stale.
TGdiObject* GdiLookup(const void* Handle);
std::shared_ptr<TGdiObject> GdiLookupShared(const void* Handle);
// The object of a handle when it has the expected OBJ_* type (OBJ_DC also accepts
// OBJ_MEMDC), else null.
template <typename T>
T* GdiLookupAs(const void* Handle, int Type) {
    TGdiObject* O = GdiLookup(Handle);
    if (O == nullptr) return nullptr;
    const int Actual = O->ObjectType();
    if (Actual != Type && !(Type == OBJ_DC && Actual == OBJ_MEMDC)) return nullptr;
    return static_cast<T*>(O);
}
// The number of live objects in the table (stock objects included); for leak checks.
size_t GdiObjectCount();

// Stock fonts come from the text engine: it installs a factory called once per stock
// font index the first time GetStockObject asks for it. Without a factory those indexes
// give 0.
using TGdiStockFactory = std::shared_ptr<TGdiObject> (*)(int Index);
void GdiSetStockFontFactory(TGdiStockFactory Factory);
// The handle of a stock object, created once by Create on first use.
HGDIOBJ GdiStockHandle(int Index, std::shared_ptr<TGdiObject> (*Create)(int));

// ---- The platform calls ----------------------------------------------------------------

// Frees a bitmap, region, pen, brush or font. FALSE for an unknown handle or a device
// context (those go through DeleteDC); TRUE and nothing done for stock objects.
BOOL DeleteObject(HGDIOBJ Object);
// OBJ_* of the handle, 0 when it is unknown or stale.
DWORD GetObjectType(HGDIOBJ Object);
// Copies the description of the object (BITMAP or DIBSECTION for bitmaps, LOGPEN,
// LOGBRUSH, LOGFONTW for fonts) into Buffer. With a null Buffer returns the size needed.
// Returns the bytes written, 0 on failure.
int GetObject(HGDIOBJ Object, int Size, void* Buffer);
inline int GetObjectW(HGDIOBJ Object, int Size, void* Buffer) {
    return GetObject(Object, Size, Buffer);
}
// A shared stock object; 0 for an index without one.
HGDIOBJ GetStockObject(int Index);
