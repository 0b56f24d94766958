#pragma once
#include <cstddef>

// The LF bytes in the text.
std::size_t CountLineFeeds(const char* text, std::size_t size);
