// The Description box's texts: two fixed lines for each described setting.
//
// The texts are shown exactly as written, misspellings and the trailing blank of the tray icon
// line included; the "..." stands in the text and is never replaced by a setting's value.
#pragma once

namespace lumora {

struct Description {
    const char* line1;
    const char* line2;
};

// An empty text empties its line; it never leaves the previous entry's text standing.
inline constexpr Description kNoDescription{"", ""};

// --- RAM page ("Lumora")
// The row's labels and its background band say 1/6, the slider itself 1/4.
inline constexpr Description kTargetRow{"Define amounts of RAM that Lumora will try to recover when the",
                                        "minimum level is reached. Usually, it is about 1/6 of your RAM"};
inline constexpr Description kTargetSlider{"Define amounts of RAM that Lumora will try to recover when the",
                                           "minimum level is reached. Usually, it is about 1/4 of your RAM"};
inline constexpr Description kMinimumRow{"Define the minimum level whitch Lumora will start recover your",
                                         "RAM when it is reached. Usually, it is about 1/16 of your RAM"};
inline constexpr Description kCpuDetection{"Use this option to disable the CPU usage detection. You only need to",
                                           "do this if your CPU usage always shows 100%."};
// The row label adds the usual value; the spin edit and its "% " label stop after the first sentence.
inline constexpr Description kCpuRow{"Lumora will recover and defragment your RAM if only the CPU",
                                     "usage below ... %. Usually it is about 90%"};
inline constexpr Description kCpuLimit{"Lumora will recover and defragment your RAM if only the CPU",
                                       "usage below ... %."};
inline constexpr Description kTimedFreeUp{"This feature allows Lumora to recover and defragment your RAM",
                                          "automatically every ... minutes. Usually it is about 3 minutes."};
inline constexpr Description kMenuFreeUps{"Use this feature to manually recover and defragment amount of RAM",
                                          "by clicking the popup menu."};

// --- Options page
inline constexpr Description kAlwaysOnTop{"When enabled, Lumora Manager will appear on the top of other",
                                          "application windows."};
inline constexpr Description kAutoStart{"By checking this checkbox, Lumora will run automatically each",
                                        "time you start Windows."};
inline constexpr Description kTrayIcon{"When enabled, Lumora will show available RAM level in the tray ",
                                       "icon. Note: this feature will take about 200 kb of memory."};
inline constexpr Description kClearClipboard{"When enabled, Lumora will also clear the clipboard when freeing",
                                             "up RAM."};
inline constexpr Description kPlaySound{"When enabled, Lumora will play a confirmation sound when freeing", "up RAM."};

// --- Disk Cache page
inline constexpr Description kMinimumCache{"Use this slide bar to define the minimum cache size. Usually, you can",
                                           "set it up to 1/8 of total RAM installed."};
inline constexpr Description kMaximumCache{"Use this slide bar to define the maximum cache size. Usually, you can",
                                           "set it up to 1/4 of total RAM installed."};
inline constexpr Description kChunkSize{"If you frequantly use multimedia application which require large",
                                        "amounts of RAM, you can try to set it to 1024 kb, else try 512 kb."};

// --- File Cache page: one line only, so line 2 is emptied.
inline constexpr Description kNameCache{"Use this slide bar to define the name cache size.", ""};
inline constexpr Description kDirectoryCache{"Use this slide bar to define the directory cache size.", ""};

// --- Tweak page
inline constexpr Description kContiguousAllocation{"Try this option to increase your system performance when running",
                                                   "multimedia applications."};
inline constexpr Description kDiskBuffers{"Try this option to increase your harddisk performance when Windows",
                                          "access swap file."};
inline constexpr Description kConservativeSwap{"When enabled, Windows will use the phisycal RAM as much as possible",
                                               "before using the virtual memory."};

// The RAM page background shows a row's entry inside that row's band (the label's line,
// 13 pixels high), so the gaps between a row's label, slider and value label still describe
// the row. Bounds are exclusive, in the page's client coordinates.
struct DescriptionBand {
    int left, top, right, bottom;
    const Description* entry;
};
inline constexpr DescriptionBand kRamPageBands[] = {
    {16, 32, 385, 45, &kTargetRow},
    {16, 72, 385, 85, &kMinimumRow},
};

}  // namespace lumora
