#include "platform/code_page.h"

#include <cerrno>
#include <iconv.h>

namespace {
const iconv_t kClosed = reinterpret_cast<iconv_t>(-1);

// Converts all of the input, growing the output as needed; false at the first sequence the
// conversion refuses, or that the input ends inside.
bool Convert(iconv_t converter, std::string_view input, std::string& out, std::size_t& failedAt) {
    ::iconv(converter, nullptr, nullptr, nullptr, nullptr); // a fresh shift state
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        const std::size_t start = out.size();
        out.resize(start + 4 * inLeft + 16);
        char* to = out.data() + start;
        std::size_t toLeft = out.size() - start;
        const std::size_t result = ::iconv(converter, &in, &inLeft, &to, &toLeft);
        const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
        out.resize(out.size() - toLeft);
        if (error == E2BIG) continue;
        if (error != 0 || result != 0) {
            // A character the target cannot express exactly (converted by approximation) counts
            // as refused too: nothing may change silently.
            failedAt = input.size() - inLeft;
            return false;
        }
    }
    // Some conversions keep a last character back until they are flushed.
    char tail[16];
    char* to = tail;
    std::size_t toLeft = sizeof tail;
    if (::iconv(converter, nullptr, nullptr, &to, &toLeft) == static_cast<std::size_t>(-1)) {
        failedAt = input.size();
        return false;
    }
    out.append(tail, sizeof tail - toLeft);
    return true;
}
}

struct CCodePage::CConverters {
    iconv_t toSystem = kClosed;
    iconv_t fromSystem = kClosed;

    ~CConverters() {
        if (toSystem != kClosed) ::iconv_close(toSystem);
        if (fromSystem != kClosed) ::iconv_close(fromSystem);
    }
};

CCodePage::CCodePage() = default;
CCodePage::~CCodePage() = default;

bool CCodePage::Open(const std::string& name) {
    auto converters = std::make_unique<CConverters>();
    converters->toSystem = ::iconv_open("UTF-8", name.c_str());
    converters->fromSystem = ::iconv_open(name.c_str(), "UTF-8");
    if (converters->toSystem == kClosed || converters->fromSystem == kClosed) {
        m_converters.reset();
        return false;
    }
    m_converters = std::move(converters);
    return true;
}

bool CCodePage::IsOpen() const { return m_converters != nullptr; }

bool CCodePage::ToSystem(std::string_view bytes, std::string& out, std::size_t& failedAt) const {
    return Convert(m_converters->toSystem, bytes, out, failedAt);
}

bool CCodePage::FromSystem(std::string_view text, std::string& out, std::size_t& failedAt) const {
    return Convert(m_converters->fromSystem, text, out, failedAt);
}

bool Utf8ToSystemText(std::string_view text, std::string& out, std::size_t&) {
    out += text;
    return true;
}
