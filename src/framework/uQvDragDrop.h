#pragma once
// In-application drag and drop. A control starts a drag with BeginDrag (or by a left press
// with DragMode dmAutomatic); OnStartDrag may hand over a drag object of its own. While the
// mouse button is held, the control under the pointer hears DragOver with dsDragEnter,
// dsDragMove and dsDragLeave and says whether it would accept; the cursor shows the
// source's DragCursor, or crNoDrop where nobody accepts, and the drag object's image
// follows the pointer. Releasing over an accepting control calls its DragDrop; in every
// case the source's EndDrag (OnEndDrag) follows with the target (nullptr when none, after
// Esc, or when the target or the capture went away), then the object's Finished.

#include <memory>

#include "framework/uQvImgList.h"
#include "framework/uQvWinControl.h"

// A list of pictures to show under the pointer while dragging: 32-bit, with magenta
// RGB(255, 0, 255) as the transparent colour.
class TDragImageList : public TCustomImageList {
public:
    explicit TDragImageList(TComponent* AOwner);
    ~TDragImageList() override;

    // The image shown and the point of it that sits under the pointer.
    void SetDragImage(int Index, int HotSpotX, int HotSpotY);
    int DragIndex() const { return FDragIndex; }
    TPoint DragHotspot() const { return FHotSpot; }
    // Shows the image with its hot spot at the screen point, topmost, through the mouse.
    void ShowDragImage(TPoint Screen);
    void HideDragImage();
    // The window showing the image; nullptr when hidden.
    HWND DragWindow() const { return FWindow; }

private:
    int FDragIndex = 0;
    TPoint FHotSpot;
    HWND FWindow = nullptr;
    int FShownIndex = -1;
};

// What is being dragged. The drag owns it and frees it after Finished.
class TDragObject : public TObject {
public:
    ~TDragObject() override;
    // The cursor over a target that accepts (Accepted) or does not.
    virtual TCursor GetDragCursor(bool Accepted, int X, int Y);
    // The pictures to show under the pointer; nullptr for none.
    virtual TDragImageList* GetDragImages() { return nullptr; }
    // The drag ended: Target is the control dropped on, nullptr when none.
    virtual void Finished(TObject* Target, int X, int Y, bool Accepted);
    // The screen point the pointer is at, and the control under it.
    TPoint DragPos() const { return FDragPos; }
    TControl* DragTarget() const { return FDragTarget; }
    // Esc ended the drag.
    bool Cancelling() const { return FCancelling; }

private:
    friend class TQvDragDrop;
    TPoint FDragPos;
    TControl* FDragTarget = nullptr;
    bool FCancelling = false;
};

// A drag object for a control; OnDragOver and OnDragDrop see the control as Source.
class TDragControlObject : public TDragObject {
public:
    explicit TDragControlObject(TControl* AControl) : FControl(AControl) {}
    TControl* Control() const { return FControl; }
    TCursor GetDragCursor(bool Accepted, int X, int Y) override;

private:
    TControl* FControl;
};

// The drag running now (one at a time), driven by the mouse and key messages the windows
// of the controls see.
class TQvDragDrop {
public:
    // Starts dragging Source with Object (made when null): at once, or once the pointer is
    // more than Threshold pixels away (-1: 5) from where it is now.
    static void Begin(TControl* Source, TDragObject* Object, bool Immediate, int Threshold);
    static bool Dragging();
    // The drag object while one runs.
    static TDragObject* Object();
    // Ends the drag: drops on Target when Drop and it accepts, else ends with no target.
    static void End(bool Drop);
    // A mouse or key message reached a window of ours: true when the drag took it.
    static bool InputMessage(HWND Wnd, const TMessage& Message);
    // The cursor the drag shows now (crDefault when no drag runs or it has not started).
    static TCursor Cursor();
    // A control is being freed: a drag of it ends with no target, a target is forgotten.
    static void ControlGone(TControl* Control);

private:
    static void DragTo(TPoint Screen);
};
