#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Conversion types of a record item; any other value is a bit count.
enum ConversionType : int { convText = 64, convSigned = 128, convUnsigned = 256 };
// Read directions: "R" least significant byte first, "N" most significant byte first.
enum ReadDirection : int { readReverse = 0, readNormal = 1 };

// Range modes of ParseSigned.
enum ParseMode : int {
    parseRange = 0,     // low..high
    parseInt8 = 1,      // -128..127
    parseUInt8 = 2,     // 0..255
    parseInt16 = 3,     // -32768..32767
    parseUInt16 = 4,    // 0..65535
    parseAny = 7,       // every value
    parseNonNegative = 8,
};

bool ParseSigned(std::string_view text, std::int32_t& value, int mode, std::int32_t low, std::int32_t high);
bool ParseUnsigned(std::string_view text, std::uint32_t& value, bool checkRange, std::uint32_t low, std::uint32_t high);
bool CheckItemValue(std::int32_t value, std::uint32_t length, int conversionType);
bool BitFieldsFit(std::uint32_t length, std::uint32_t bits, std::uint32_t count);
std::uint32_t ReverseBytes(std::uint8_t* destination, const std::uint8_t* source, std::uint32_t n);
std::uint8_t ReverseBits(std::uint8_t byte);
// The bytes in hexadecimal, "4F 6B": the first 16, then " ..." when there are more.
std::string HexText(const std::uint8_t* bytes, std::size_t count);
std::string TimestampSuffix(bool year, bool month, bool day, bool hour, bool minute, bool second);
