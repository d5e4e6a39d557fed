// The four image slots of a round-rect button: loading by name (a resource of
// the button's resource module, or a file when the name has a "."), by
// integer resource id, or taking a caller's image with BM_SETIMAGE, and
// releasing what the button owns.
#include <cstring>

#include "rrbutton/gdi_objects.h"
#include "rrbutton/rrbutton_internal.h"

namespace rrb {

namespace {

constexpr int LoadedImageSize = 16;  // drawing size after a normal image arrives

// One of the four image slots of the record: the image and the kind it was
// loaded as.
struct SlotPointers {
    HANDLE* image;
    int* kind;
};

// An integer resource id travels in the low word of the name pointer.
bool IsResourceId(LPARAM name)
{
    return IS_INTRESOURCE(name);
}

const char* NameOf(LPARAM name)
{
    return reinterpret_cast<const char*>(name);
}

// Colours of the image's 3-D greys follow the system's. A name with a "."
// anywhere is a file path; any other name, and an integer id, is a resource
// of the button's resource module.
HANDLE LoadNamedImage(const RRButtonRecord& record, WPARAM kind, LPARAM name)
{
    UINT flags = LR_LOADMAP3DCOLORS;
    if (!IsResourceId(name) && std::strchr(NameOf(name), '.')) {
        flags |= LR_LOADFROMFILE;
    }
    return gdi::LoadImageCounted(record.hResModule, NameOf(name), static_cast<UINT>(kind), 0, 0, flags);
}

void ReleaseSlot(SlotPointers slot)
{
    gdi::ReleaseImage(*slot.image, static_cast<UINT>(*slot.kind));
    *slot.image = nullptr;
}

// The stored name keeps its first 39 characters; an integer id has no name.
void RememberImageName(RRButtonRecord& record, LPARAM name)
{
    std::memset(record.imageName, 0, sizeof record.imageName);
    if (!IsResourceId(name)) {
        std::strncpy(record.imageName, NameOf(name), sizeof record.imageName - 1);
    }
}

// The hot, pressed and disabled slots: always the button's own images, no
// name, and the drawing size stays as it is.
LRESULT LoadStateImage(RRButtonRecord& record, SlotPointers slot, WPARAM kind, LPARAM name)
{
    ReleaseSlot(slot);
    if (name) {
        record.imageType = static_cast<int>(kind);
        *slot.image = LoadNamedImage(record, kind, name);
        *slot.kind = static_cast<int>(kind);
    }
    return 0;
}

}  // namespace

LRESULT OnLoadImage(RRButtonRecord& record, WPARAM kind, LPARAM name)
{
    const SlotPointers normal = {&record.hImage, &record.imageKind};
    if (!record.imageShared) {
        ReleaseSlot(normal);
    }
    record.hImage = nullptr;
    record.imageShared = 0;
    if (!name) {
        // Type, size and name keep their values.
        return 0;
    }
    record.imageType = static_cast<int>(kind);
    RememberImageName(record, name);
    // The whole name is loaded, not the stored cut.
    record.hImage = LoadNamedImage(record, kind, name);
    record.imageKind = static_cast<int>(kind);
    record.imageWidth = record.hImage ? LoadedImageSize : 0;
    record.imageHeight = record.imageWidth;
    return 0;
}

LRESULT OnLoadHotImage(RRButtonRecord& record, WPARAM kind, LPARAM name)
{
    return LoadStateImage(record, {&record.hHotImage, &record.hotImageKind}, kind, name);
}

LRESULT OnLoadPressedImage(RRButtonRecord& record, WPARAM kind, LPARAM name)
{
    return LoadStateImage(record, {&record.hPressedImage, &record.pressedImageKind}, kind, name);
}

LRESULT OnLoadDisabledImage(RRButtonRecord& record, WPARAM kind, LPARAM name)
{
    return LoadStateImage(record, {&record.hDisabledImage, &record.disabledImageKind}, kind, name);
}

LRESULT OnSetImage(RRButtonRecord& record, WPARAM kind, LPARAM image)
{
    // As with the system's buttons, the previous image goes back to the
    // caller, who from now on is responsible for it.
    HANDLE previous = record.hImage;
    record.imageType = static_cast<int>(kind);
    record.imageKind = static_cast<int>(kind);
    record.hImage = reinterpret_cast<HANDLE>(image);
    record.imageShared = 1;
    record.imageWidth = image ? LoadedImageSize : 0;
    record.imageHeight = record.imageWidth;
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT OnGetImageName(const RRButtonRecord& record, WPARAM buffer)
{
    if (buffer) {
        // The characters only, without a terminating zero: at most 39 bytes
        // of the caller's 40.
        std::memcpy(reinterpret_cast<char*>(buffer), record.imageName, std::strlen(record.imageName));
    }
    return 0;
}

void ReleaseOwnedImages(RRButtonRecord& record)
{
    if (!record.imageShared) {
        ReleaseSlot({&record.hImage, &record.imageKind});
    }
    ReleaseSlot({&record.hHotImage, &record.hotImageKind});
    ReleaseSlot({&record.hPressedImage, &record.pressedImageKind});
    ReleaseSlot({&record.hDisabledImage, &record.disabledImageKind});
}

}  // namespace rrb
