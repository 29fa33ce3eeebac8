// winerun's probe: can this machine run a Windows program of this build at all? It prints one
// known line naming the pointer size it was built with, which winerun compares with what the
// build's machine type promises. On a machine that cannot run 32-bit code (a kernel without IA32
// emulation, no wine32) the 32-bit build's probe never gets as far as printing it.
#include <cstdio>

int main() {
    std::printf("winprobe: %u-bit Windows program running\n", static_cast<unsigned>(sizeof(void*) * 8));
    return 0;
}
