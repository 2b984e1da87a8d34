#pragma once
// Affine transformations and the transformed drawing of one surface onto another: every
// destination pixel is mapped back into the source, where the source's resampler
// samples it, and the source's draw mode combines the sample into the destination.

#include "draw/uQvResamplers.h"

// A 3 x 3 matrix of 32-bit floats; a point (x, y) maps to
// (M[0][0]*x + M[1][0]*y + M[2][0], M[0][1]*x + M[1][1]*y + M[2][1]).
struct TFloatMatrix {
    float M[3][3];
};
// The same in 16.16 fixed point.
struct TFixedMatrix {
    TFixed M[3][3];
};

constexpr TFloatMatrix IdentityMatrix = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

// Something that maps source positions to destination positions and back.
class TTransformation : public TNotifiablePersistent {
public:
    // The part of the source that is transformed.
    const TFloatRect& SrcRect() const { return FSrcRect; }
    void SetSrcRect(const TFloatRect& Value);

    // The bounding box of the transformed corners of SrcRect, or of R.
    TFloatRect GetTransformedBounds() const { return GetTransformedBounds(FSrcRect); }
    virtual TFloatRect GetTransformedBounds(const TFloatRect& R) const = 0;
    // Readies the reverse mapping after a change; false when there is none (a singular
    // or non-finite matrix, or an inverse beyond the reach of 16.16 fixed point).
    virtual bool PrepareTransform() = 0;
    virtual TFloatPoint Transform(const TFloatPoint& P) const = 0;
    // The reverse mapping of a 16.16 fixed-point destination position; valid after a
    // successful PrepareTransform. Results beyond the 32-bit range are limited to it.
    virtual TFixedPoint ReverseTransformFixed(TFixed X, TFixed Y) const = 0;

    void Changed() override;

protected:
    bool FPrepared = false;

private:
    TFloatRect FSrcRect;
};

// An affine transformation built from translations, scalings, rotations and skews, each
// applied after the ones before.
class TAffineTransformation : public TTransformation {
public:
    TAffineTransformation() = default;

    const TFloatMatrix& Matrix() const { return FMatrix; }
    void SetMatrix(const TFloatMatrix& Value);
    // Back to the identity.
    void Clear();
    void Translate(float Dx, float Dy);
    void Scale(float Sx, float Sy);
    void Scale(float S) { Scale(S, S); }
    // Alpha in degrees: x' = x cos a + y sin a, y' = -x sin a + y cos a, so positive angles
    // turn counter-clockwise on the screen.
    void Rotate(float Alpha);
    // x' = x + Fx * y, y' = Fy * x + y.
    void Skew(float Fx, float Fy);

    TFloatRect GetTransformedBounds(const TFloatRect& R) const override;
    using TTransformation::GetTransformedBounds;
    bool PrepareTransform() override;
    TFloatPoint Transform(const TFloatPoint& P) const override;
    TFixedPoint ReverseTransformFixed(TFixed X, TFixed Y) const override;

    // Valid after a successful PrepareTransform.
    const TFloatMatrix& InverseMatrix() const { return FInverse; }
    const TFixedMatrix& FixedMatrix() const { return FFixed; }
    const TFixedMatrix& InverseFixedMatrix() const { return FInverseFixed; }

private:
    TFloatMatrix FMatrix = IdentityMatrix;
    TFloatMatrix FInverse = IdentityMatrix;
    TFixedMatrix FFixed{};
    TFixedMatrix FInverseFixed{};
    bool FValid = false;
};

// A sampler reading a resampler at the reverse-transformed position.
class TTransformer : public TCustomSampler {
public:
    // Raises "Nested sampler is nil" without a resampler.
    TTransformer(TCustomResampler* Sampler, TTransformation* Transformation);

    TColor32 GetSampleFixed(TFixed X, TFixed Y) override;
    void PrepareSampling() override;
    void FinalizeSampling() override;
    bool HasBounds() const override;
    // The transformed bounds of the source part the resampler can read.
    TFloatRect GetSampleBounds() const override;
    // True when PrepareSampling found a reverse mapping.
    bool Valid() const { return FValid; }

    TCustomResampler* Sampler() const { return FSampler; }
    TTransformation* Transformation() const { return FTransformation; }

private:
    TCustomResampler* FSampler;
    TTransformation* FTransformation;
    bool FValid = false;
};

// Walks a destination rectangle row by row, sampling every pixel and combining it by the
// source's draw mode.
class TRegularRasterizer {
public:
    TRegularRasterizer(TTransformer& Sampler, const TCustomSurface32& Src);
    void Rasterize(TCustomSurface32* Dst, const TRect& DstRect);

private:
    TTransformer& FSampler;
    const TCustomSurface32& FSrc;
};

// Draws Src through Transformation into Dst, inside Dst's bounds and ClipRect. Nothing
// is drawn for an empty source or destination clip, a transformation without a reverse
// (singular or non-finite matrix), or an empty transformed rectangle.
void Transform(TCustomSurface32* Dst, TCustomSurface32* Src, TTransformation* Transformation);
