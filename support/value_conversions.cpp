#include "support/value_conversions.h"

#include <cstdio>

#include "vocabulary/message_box.h"
#include "platform/system.h"

namespace {

// Eleven bytes hold the longest value, -2147483648.
constexpr std::size_t kMaxNumberLength = 11;

struct CDecimal {
    bool negative = false;
    std::uint64_t magnitude = 0; // at most eleven digits, so it cannot overflow
};

bool IsLeadingSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads optional white space, an optional sign and decimal digits that must end the text.
bool ReadDecimal(std::string_view text, CDecimal& number) {
    if (text.empty() || text.size() > kMaxNumberLength) return false;
    std::size_t i = 0;
    while (i < text.size() && IsLeadingSpace(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.negative = text[i] == '-';
        ++i;
    }
    const std::size_t firstDigit = i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        number.magnitude = number.magnitude * 10 + static_cast<std::uint64_t>(text[i] - '0');
    return i > firstDigit && i == text.size();
}

void AppendNumber(std::string& text, int value, int width) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%0*d", width, value);
    text += digits;
}

} // namespace

bool ParseSigned(std::string_view text, std::int32_t& value, int mode, std::int32_t low, std::int32_t high) {
    if (low > high) {
        ShowError("");
        return false;
    }
    CDecimal number;
    if (!ReadDecimal(text, number)) return false;
    const std::uint64_t limit = number.negative ? 2147483648u : 2147483647u;
    if (number.magnitude > limit) return false;
    const std::int64_t parsed =
        number.negative ? -static_cast<std::int64_t>(number.magnitude) : static_cast<std::int64_t>(number.magnitude);
    switch (mode) {
    case parseRange:
        if (parsed < low || parsed > high) return false;
        break;
    case parseInt8:
        if (parsed < -128 || parsed > 127) return false;
        break;
    case parseUInt8:
        if (parsed < 0 || parsed > 255) return false;
        break;
    case parseInt16:
        if (parsed < -32768 || parsed > 32767) return false;
        break;
    case parseUInt16:
        if (parsed < 0 || parsed > 65535) return false;
        break;
    case 6:
    case parseNonNegative:
        if (parsed < 0) return false;
        break;
    default:
        break;
    }
    value = static_cast<std::int32_t>(parsed);
    return true;
}

bool ParseUnsigned(std::string_view text, std::uint32_t& value, bool checkRange, std::uint32_t low, std::uint32_t high) {
    if (low > high) {
        ShowError("");
        return false;
    }
    CDecimal number;
    if (!ReadDecimal(text, number)) return false;
    if (number.magnitude > 4294967295u) return false;
    std::uint32_t parsed = static_cast<std::uint32_t>(number.magnitude);
    if (number.negative) parsed = 0u - parsed; // modulo 2^32: "-1" is 4294967295
    if (checkRange && (parsed < low || parsed > high)) return false;
    value = parsed;
    return true;
}

bool CheckItemValue(std::int32_t value, std::uint32_t length, int conversionType) {
    switch (conversionType) {
    case convText:
        return true;
    case convUnsigned:
        if (value < 0) return false;
        if (length == 1) return value <= 255;
        if (length == 2) return value <= 65535;
        return true;
    case convSigned:
        if (length == 1) return value >= -128 && value <= 127;
        if (length == 2) return value >= -32768 && value <= 32767;
        return true;
    default: {
        const std::int64_t bits = conversionType;
        if (bits < 1 || bits > 8 * static_cast<std::int64_t>(length) - 1) return false;
        if (value < 0) return false;
        // A value is 32 bits wide, so any wider field holds it.
        return bits >= 32 || value <= (std::int64_t {1} << bits) - 1;
    }
    }
}

bool BitFieldsFit(std::uint32_t length, std::uint32_t bits, std::uint32_t count) {
    if (bits == 0) return false;
    const std::uint64_t total = 8 * static_cast<std::uint64_t>(length);
    return count <= (total + bits - 1) / bits;
}

std::uint32_t ReverseBytes(std::uint8_t* destination, const std::uint8_t* source, std::uint32_t n) {
    if (n < 2 || n > 4 || destination == nullptr || source == nullptr) return 0;
    for (std::uint32_t i = 0; i < n; ++i) destination[n - 1 - i] = source[i];
    return n;
}

std::uint8_t ReverseBits(std::uint8_t byte) {
    std::uint8_t result = 0;
    for (int i = 0; i < 8; ++i) {
        result = static_cast<std::uint8_t>((result << 1) | (byte & 1));
        byte = static_cast<std::uint8_t>(byte >> 1);
    }
    return result;
}

std::string TimestampSuffix(bool year, bool month, bool day, bool hour, bool minute, bool second) {
    const CLocalTime now = LocalNow();
    std::string suffix = "-";
    if (year) AppendNumber(suffix, now.year, 4);
    if (month) AppendNumber(suffix, now.month, 2);
    if (day) AppendNumber(suffix, now.day, 2);
    const bool anyTime = hour || minute || second;
    if ((year || month || day) && anyTime) suffix += '-';
    if (hour) AppendNumber(suffix, now.hour, 2);
    if (minute) AppendNumber(suffix, now.minute, 2);
    if (second) AppendNumber(suffix, now.second, 2);
    return suffix;
}

std::string HexText(const std::uint8_t* bytes, std::size_t count) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    constexpr std::size_t kShown = 16;
    std::string text;
    for (std::size_t i = 0; i < count && i < kShown; ++i) {
        if (i > 0) text += ' ';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    if (count > kShown) text += " ...";
    return text;
}
