#include "xml/uQvXmlPool.h"

#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define QV_XML_PLAIN_NODES 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_XML_PLAIN_NODES 1
#endif
#endif

#ifdef QV_XML_PLAIN_NODES

void* XmlNodeAlloc(size_t Size) { return ::operator new(Size); }
void XmlNodeFree(void* Node, size_t) noexcept { ::operator delete(Node); }

#else

namespace {

constexpr size_t Grain = 16;           // sizes are rounded up to this
constexpr size_t Largest = 128;        // larger nodes are ordinary allocations
constexpr size_t BlockSize = 64 * 1024;

struct TFreeNode {
    TFreeNode* Next;
};

struct TPool {
    TFreeNode* Free[Largest / Grain + 1] = {};
    char* Block = nullptr;
    size_t Left = 0;
};

// Never freed: a node may outlive its thread's other objects (a document in a static),
// and freed nodes only ever go back to a list.
TPool& Pool() {
    thread_local TPool* P = new TPool;
    return *P;
}

}  // namespace

void* XmlNodeAlloc(size_t Size) {
    if (Size > Largest) return ::operator new(Size);
    const size_t Class = (Size + Grain - 1) / Grain;
    TPool& P = Pool();
    if (TFreeNode* F = P.Free[Class]) {
        P.Free[Class] = F->Next;
        return F;
    }
    const size_t Bytes = Class * Grain;
    if (P.Left < Bytes) {
        P.Block = static_cast<char*>(::operator new(BlockSize));
        P.Left = BlockSize;
    }
    void* Node = P.Block;
    P.Block += Bytes;
    P.Left -= Bytes;
    return Node;
}

void XmlNodeFree(void* Node, size_t Size) noexcept {
    if (Node == nullptr) return;
    if (Size > Largest) {
        ::operator delete(Node);
        return;
    }
    TPool& P = Pool();
    const size_t Class = (Size + Grain - 1) / Grain;
    auto* F = static_cast<TFreeNode*>(Node);
    F->Next = P.Free[Class];
    P.Free[Class] = F;
}

#endif
