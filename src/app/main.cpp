#include <cstdio>

int main() {
    std::puts("varnoth: nothing to show yet");
    return 0;
}
