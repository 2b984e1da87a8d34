#pragma once
// The allocation of a tree's nodes. Every node of a tree has the same size (record plus
// user data), so nodes come zero-filled from large blocks and go back to a free list;
// building and clearing a million nodes costs no allocator call per node. Built with the
// address sanitizer, each node is an allocation of its own instead, so that a use of a
// freed node is caught.

#include <cstddef>
#include <memory>
#include <vector>

class TQvNodePool {
public:
    TQvNodePool() = default;
    ~TQvNodePool();
    TQvNodePool(const TQvNodePool&) = delete;
    TQvNodePool& operator=(const TQvNodePool&) = delete;

    // Drops every block and takes a new element size (rounded up to 8 bytes). Elements
    // given out before are gone.
    void Reset(size_t ElementSize);
    size_t ElementSize() const { return FElementSize; }
    // A zero-filled element.
    void* Allocate();
    void Release(void* Element);
    // Releases every element at once; false when elements must be released one by one
    // (sanitized builds), and then nothing happened.
    bool ReleaseAll();
    size_t LiveCount() const { return FLive; }

private:
    void* Carve();

    size_t FElementSize = 0;
    std::vector<std::unique_ptr<std::byte[]>> FBlocks;
    std::byte* FNext = nullptr;  // unused room at the end of the newest block
    std::byte* FEnd = nullptr;
    void* FFree = nullptr;       // released elements, linked through their first word
    size_t FLive = 0;
};
