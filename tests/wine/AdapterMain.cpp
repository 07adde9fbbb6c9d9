// Entry of the adapter tests: the ports and adapters against Wine's registry and profile files.
#include "Harness.h"

int main(int argc, char** argv)
{
    return lumora::winetest::RunAll(argc, argv, "adapters");
}
