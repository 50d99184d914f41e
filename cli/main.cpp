#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
        std::puts("pelmora: renders Tavrin pad wallpapers from Pelmora patterns");
        return 0;
    }
    std::fputs("usage: pelmora --help\n", stderr);
    return 2;
}
