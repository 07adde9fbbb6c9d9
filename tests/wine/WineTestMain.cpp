// Entry of the adapter and end-to-end test programs.
#include "WineTest.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    lumora::winetest::EndTestOnFatalFailureOrSkip();
    lumora::winetest::SeeWindowsInScreenPixels();
    return RUN_ALL_TESTS();
}
