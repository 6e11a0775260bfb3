// A program bound to libpelkadi as the calculators are. With no argument it
// does not call Newton, so it starts only if the loader could bind the entry
// when the program was loaded. With "call" it prints one distance.
#include "pelkadi/newton.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "call") == 0) {
        std::printf("%.5f\n", Newton(100, 19, 9, 0));
    }
    return 0;
}
