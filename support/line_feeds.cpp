#include "support/line_feeds.h"

#include <cstdint>
#include <cstring>

// Eight bytes at a time: this runs over every byte of a converted text.
std::size_t CountLineFeeds(const char* text, std::size_t size) {
    constexpr std::uint64_t kLineFeeds = 0x0A0A0A0A0A0A0A0Au;
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
    constexpr std::uint64_t kLanes = 0x00FF00FF00FF00FFu;
    std::size_t count = 0;
    std::size_t k = 0;
    while (k + 8 <= size) {
        // One counter a byte, for at most 255 words.
        std::uint64_t counters = 0;
        for (int words = 0; words < 255 && k + 8 <= size; ++words, k += 8) {
            std::uint64_t word;
            std::memcpy(&word, text + k, 8);
            const std::uint64_t x = word ^ kLineFeeds;
            // The high bit of each byte that is zero in x, exactly: no carry crosses a byte.
            counters += ~(((x & kLow7) + kLow7) | x | kLow7) >> 7;
        }
        const std::uint64_t pairs = (counters & kLanes) + ((counters >> 8) & kLanes);
        count += static_cast<std::size_t>((pairs * 0x0001000100010001u) >> 48);
    }
    for (; k < size; ++k) count += text[k] == '\n';
    return count;
}
