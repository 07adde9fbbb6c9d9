// The Description box's two lines as the user must read them, typed from the table of hover
// texts rather than taken from the program's, misspellings and the tray line's trailing blank
// included. The native tests and the end-to-end tests check the same words.
#pragma once

namespace lumora::testing::descriptions {

struct Lines {
    const char* line1;
    const char* line2;
};

inline constexpr Lines kEmpty{"", ""};
inline constexpr Lines kTargetRowText{"Define amounts of RAM that Lumora will try to recover when the",
                                      "minimum level is reached. Usually, it is about 1/6 of your RAM"};
inline constexpr Lines kTargetSliderText{"Define amounts of RAM that Lumora will try to recover when the",
                                         "minimum level is reached. Usually, it is about 1/4 of your RAM"};
inline constexpr Lines kMinimumRowText{"Define the minimum level whitch Lumora will start recover your",
                                       "RAM when it is reached. Usually, it is about 1/16 of your RAM"};
inline constexpr Lines kCpuDetectionText{"Use this option to disable the CPU usage detection. You only need to",
                                         "do this if your CPU usage always shows 100%."};
inline constexpr Lines kCpuRowText{"Lumora will recover and defragment your RAM if only the CPU",
                                   "usage below ... %. Usually it is about 90%"};
inline constexpr Lines kCpuLimitText{"Lumora will recover and defragment your RAM if only the CPU",
                                     "usage below ... %."};
inline constexpr Lines kTimedFreeUpText{"This feature allows Lumora to recover and defragment your RAM",
                                        "automatically every ... minutes. Usually it is about 3 minutes."};
inline constexpr Lines kMenuFreeUpsText{"Use this feature to manually recover and defragment amount of RAM",
                                        "by clicking the popup menu."};
inline constexpr Lines kAlwaysOnTopText{"When enabled, Lumora Manager will appear on the top of other",
                                        "application windows."};
inline constexpr Lines kAutoStartText{"By checking this checkbox, Lumora will run automatically each",
                                      "time you start Windows."};
inline constexpr Lines kTrayIconText{"When enabled, Lumora will show available RAM level in the tray ",
                                     "icon. Note: this feature will take about 200 kb of memory."};
inline constexpr Lines kClearClipboardText{"When enabled, Lumora will also clear the clipboard when freeing",
                                           "up RAM."};
inline constexpr Lines kPlaySoundText{"When enabled, Lumora will play a confirmation sound when freeing", "up RAM."};
inline constexpr Lines kMinimumCacheText{"Use this slide bar to define the minimum cache size. Usually, you can",
                                         "set it up to 1/8 of total RAM installed."};
inline constexpr Lines kMaximumCacheText{"Use this slide bar to define the maximum cache size. Usually, you can",
                                         "set it up to 1/4 of total RAM installed."};
inline constexpr Lines kChunkSizeText{"If you frequantly use multimedia application which require large",
                                      "amounts of RAM, you can try to set it to 1024 kb, else try 512 kb."};
inline constexpr Lines kNameCacheText{"Use this slide bar to define the name cache size.", ""};
inline constexpr Lines kDirectoryCacheText{"Use this slide bar to define the directory cache size.", ""};
inline constexpr Lines kContiguousText{"Try this option to increase your system performance when running",
                                       "multimedia applications."};
inline constexpr Lines kDiskBuffersText{"Try this option to increase your harddisk performance when Windows",
                                        "access swap file."};
inline constexpr Lines kConservativeSwapText{"When enabled, Windows will use the phisycal RAM as much as possible",
                                             "before using the virtual memory."};

}  // namespace lumora::testing::descriptions
