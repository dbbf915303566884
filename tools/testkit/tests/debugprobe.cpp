// A program that writes known debugger output lines, for the test kit's own test.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    int count = argc > 1 ? std::atoi(argv[1]) : 3;
    for (int i = 0; i < count; ++i) {
        char line[64];
        std::snprintf(line, sizeof(line), "probe line %d\n", i);
        OutputDebugStringA(line);
    }
    OutputDebugStringW(L"wide line\n");
    return 7;
}
