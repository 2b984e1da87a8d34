#pragma once
// TQvCustomPaintBox: a windowed control that never lets the platform paint it. It keeps a
// back buffer of its own size, rebuilds it (RenderBuffer) only while it is invalid, and
// copies it to the window in one block per paint. Descendants draw into the buffer.

#include <memory>
#include <vector>

#include "draw/uQvSurface.h"
#include "framework/uQvWinControl.h"

enum TRepaintMode { rmFull, rmDirect, rmOptimizer };
enum TPaintBoxOption { pboWantArrowKeys, pboAutoFocus };
using TPaintBoxOptions = TSet<TPaintBoxOption>;

class TQvCustomPaintBox : public TCustomControl {
public:
    explicit TQvCustomPaintBox(TComponent* AOwner);
    ~TQvCustomPaintBox() override;

    TSurface32* Buffer() const { return FBuffer.get(); }
    bool BufferValid() const { return FBufferValid; }
    // Extra pixels allocated when the buffer grows; negative values are stored as 0.
    int BufferOversize() const { return FBufferOversize; }
    void SetBufferOversize(int Value) { FBufferOversize = Value < 0 ? 0 : Value; }
    // rmFull repaints the whole buffer; rmDirect and rmOptimizer copy only the rectangles
    // given to InvalidateArea (both the same here: there is no tile optimizer).
    TRepaintMode RepaintMode() const { return FRepaintMode; }
    virtual void SetRepaintMode(TRepaintMode Value);
    TPaintBoxOptions Options() const { return FOptions; }
    void SetOptions(TPaintBoxOptions Value) { FOptions = Value; }
    // True between the pointer entering and leaving the control.
    bool MouseInControl() const { return FMouseInControl; }

    // Marks the buffer invalid and the window for repainting.
    void Invalidate() override;
    // Partial repaint modes: R (client coordinates) is to be copied at the next paint.
    void InvalidateArea(const TRect& R);
    virtual void ForceFullInvalidate();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // Copies the whole buffer, or SrcRect of it, to the window now.
    void Flush();
    void Flush(const TRect& SrcRect);
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    // After the buffer was copied to the window (the device context is the window's).
    std::function<void(TObject* Sender, HDC Dc)> OnGDIOverlay;

protected:
    virtual bool UsesPartialRepaint() const { return FRepaintMode != rmFull; }
    virtual bool CanPaintPartially() const { return !FForceFullRepaint; }
    virtual void PrepareDirtyAreas() {}
    // Rebuilds the buffer; the base only marks it valid.
    virtual void RenderBuffer();
    virtual void PaintOverlay(HDC Dc);
    virtual void BufferResized(int OldWidth, int OldHeight);
    virtual void MouseEntered();
    virtual void MouseLeft();
    virtual TRect GetViewportRect() const { return Rect(0, 0, Width(), Height()); }
    // The buffer follows the viewport's size (with the oversize rule).
    void ResizeBuffer();
    void PaintWindow(HDC Dc) override;
    void Resize() override;
    void SetBufferValid(bool Value) { FBufferValid = Value; }
    const std::vector<TRect>& InvalidRects() const { return FInvalidRects; }
    bool ForceFullRepaint() const { return FForceFullRepaint; }
    // Whether the control is a designer's (nothing of ours runs then).
    bool Designing() const { return ComponentState().Contains(csDesigning); }

private:
    std::unique_ptr<TSurface32> FBuffer;
    int FBufferOversize = 40;
    bool FBufferValid = false;
    TRepaintMode FRepaintMode = rmFull;
    std::vector<TRect> FInvalidRects;
    bool FForceFullRepaint = true;
    TPaintBoxOptions FOptions;
    bool FMouseInControl = false;
};
