// Entry of the end-to-end tests: the real program worked from outside on a prepared prefix.
#include "Harness.h"

int main(int argc, char** argv)
{
    return lumora::winetest::RunAll(argc, argv, "e2e");
}
