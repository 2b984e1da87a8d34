#pragma once
// Samplers and resamplers: what a surface uses to read itself at a position and to draw
// itself stretched. Every surface owns exactly one resampler.

#include <functional>
#include <memory>

#include "draw/uQvCustomSurface.h"

// How a resampler reads pixels near and beyond the edge of its surface's ClipRect.
enum TPixelAccessMode { pamUnsafe, pamSafe, pamWrap, pamTransparentEdge };

// Something that yields a colour for a position.
class TCustomSampler : public TNotifiablePersistent {
public:
    // GetSampleFixed(X * 65536, Y * 65536).
    virtual TColor32 GetSampleInt(int X, int Y);
    // Position in 16.16 fixed point.
    virtual TColor32 GetSampleFixed(TFixed X, TFixed Y) = 0;
    // Round(X * 65536), Round(Y * 65536); non-finite positions read transparent black.
    virtual TColor32 GetSampleFloat(float X, float Y);
    virtual void PrepareSampling() {}
    virtual void FinalizeSampling() {}
    virtual bool HasBounds() const { return false; }
    virtual TFloatRect GetSampleBounds() const;
};

// A sampler over a surface that can also draw that surface stretched.
class TCustomResampler : public TCustomSampler {
public:
    TCustomSurface32* Bitmap() const { return FBitmap; }
    TPixelAccessMode PixelAccessMode() const { return FPixelAccessMode; }
    void SetPixelAccessMode(TPixelAccessMode Value);

    // The kernel's reach in source pixels (0 for nearest).
    virtual int GetWidth() const = 0;
    // Notes the surface's ClipRect for the reads that follow.
    void PrepareSampling() override;
    bool HasBounds() const override { return FPixelAccessMode != pamWrap; }
    // The surface's ClipRect, grown by one pixel on every side for pamTransparentEdge.
    TFloatRect GetSampleBounds() const override;
    // Draws SrcRect of Src (this resampler's surface) stretched to DstRect of Dst,
    // writing only inside DstClip, with Src's draw mode. SrcRect lies inside Src; one
    // that does not raises "Invalid SrcRect".
    virtual void Resample(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip,
                          TCustomSurface32* Src, const TRect& SrcRect) = 0;
    // A new resampler of the same class with default properties.
    virtual std::unique_ptr<TCustomResampler> NewInstance() const = 0;

protected:
    // The pixel at (X, Y) read by PixelAccessMode: pamSafe gives the surface's OuterColor
    // outside the noted clip, pamTransparentEdge the clamped pixel with alpha 0, pamWrap
    // wraps around the surface, pamUnsafe reads the (clamped) pixel.
    TColor32 ReadPixel(int X, int Y) const;

    TRect FClip;

private:
    friend class TCustomSurface32;
    TCustomSurface32* FBitmap = nullptr;
    TPixelAccessMode FPixelAccessMode = pamSafe;
};

// Nearest neighbour: a sample is the pixel whose square holds the position; stretched
// drawing maps each destination column and row to one source column and row.
class TNearestResampler : public TCustomResampler {
public:
    TColor32 GetSampleInt(int X, int Y) override;
    TColor32 GetSampleFixed(TFixed X, TFixed Y) override;
    int GetWidth() const override { return 0; }
    void Resample(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip, TCustomSurface32* Src,
                  const TRect& SrcRect) override;
    std::unique_ptr<TCustomResampler> NewInstance() const override;
};

// Nearest stretch used by TNearestResampler and by callers that want it whatever the
// source's resampler is: column x of the clipped destination reads source column
// SrcRect.Left + trunc((x - DstRect.Left) * SrcW / DstW), the ratio in single precision
// and the product in double; a destination one pixel wide reads the middle column.
void StretchNearest(TCustomSurface32* Dst, const TRect& DstRect, const TRect& DstClip, TCustomSurface32* Src,
                    const TRect& SrcRect);

// Resampler classes by their stored name. TNearestResampler is always known; other units
// add theirs. Registering a known name replaces its factory.
using TResamplerFactory = std::function<std::unique_ptr<TCustomResampler>()>;
void RegisterResamplerClass(const String& ClassName, TResamplerFactory Factory);
// nullptr for an unknown name.
std::unique_ptr<TCustomResampler> CreateResamplerByName(const String& ClassName);
