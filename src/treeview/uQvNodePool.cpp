#include "treeview/uQvNodePool.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define QV_NODE_POOL_SINGLE 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_NODE_POOL_SINGLE 1
#endif
#endif
#ifndef QV_NODE_POOL_SINGLE
#define QV_NODE_POOL_SINGLE 0
#endif

namespace {
// A block holds this many bytes or at least one element.
constexpr size_t BlockBytes = 256 * 1024;
}  // namespace

TQvNodePool::~TQvNodePool() = default;

void TQvNodePool::Reset(size_t ElementSize) {
    FBlocks.clear();
    FNext = FEnd = nullptr;
    FFree = nullptr;
    FLive = 0;
    FElementSize = (std::max<size_t>(ElementSize, sizeof(void*)) + 7) & ~size_t{7};
}

void* TQvNodePool::Carve() {
    if (FNext == nullptr || static_cast<size_t>(FEnd - FNext) < FElementSize) {
        const size_t Count = std::max<size_t>(BlockBytes / FElementSize, 1);
        // Plain new[] leaves the bytes uninitialized; elements are cleared as they go out.
        FBlocks.emplace_back(new std::byte[Count * FElementSize]);
        FNext = FBlocks.back().get();
        FEnd = FNext + Count * FElementSize;
    }
    void* Result = FNext;
    FNext += FElementSize;
    return Result;
}

void* TQvNodePool::Allocate() {
    void* Result;
    if constexpr (QV_NODE_POOL_SINGLE) {
        Result = std::calloc(1, FElementSize);
        if (Result == nullptr) throw std::bad_alloc();
        ++FLive;
        return Result;
    }
    if (FFree != nullptr) {
        Result = FFree;
        std::memcpy(&FFree, Result, sizeof(void*));
    } else {
        Result = Carve();
    }
    std::memset(Result, 0, FElementSize);
    ++FLive;
    return Result;
}

void TQvNodePool::Release(void* Element) {
    if (Element == nullptr) return;
    --FLive;
    if constexpr (QV_NODE_POOL_SINGLE) {
        std::free(Element);
        return;
    }
    std::memcpy(Element, &FFree, sizeof(void*));
    FFree = Element;
}

bool TQvNodePool::ReleaseAll() {
    if constexpr (QV_NODE_POOL_SINGLE) return FLive == 0;
    Reset(FElementSize);
    return true;
}
