// The outgoing links of the About and promotion pages, built into their click handlers.
#pragma once

namespace lumora {

inline constexpr const char* kAuthorEmail = "author@lumora.example";
inline constexpr const char* kHomepageLink = "http://www.lumora.example/";
// The partner's download page through the affiliate click-through; picture and line share it.
inline constexpr const char* kPartnerDownloadLink =
    "http://download.brisko.example/get?affiliate=lumora&campaign=manager";

}  // namespace lumora
