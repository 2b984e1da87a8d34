#pragma once
// Memory for nodes. Documents make and drop nodes by the hundred thousand, so small nodes
// come from blocks carved into fixed sizes, with a free list per size, kept per thread for
// reuse. Under AddressSanitizer every node is an ordinary allocation, so misuse is caught.

#include <cstddef>

void* XmlNodeAlloc(size_t Size);
void XmlNodeFree(void* Node, size_t Size) noexcept;
