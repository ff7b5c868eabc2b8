#include "core/NumberReading.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace veltrim {
namespace {

bool IsIgnoredBlank(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n';
}

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

int DigitValue(char ch) {
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return 99;
}

// An integer in the given radix (16 or 8) from the start of the text; stops at
// the first character that is not a digit of that radix. The digits go to
// from_chars as hexadecimal, octal ones regrouped from three bits to four,
// so that an integer beyond 2^53 is rounded once to the nearest double
// rather than once at every digit, which could miss by its last bit.
double ReadRadixInteger(std::string_view digits, int radix, bool& whole) {
    std::size_t count = 0;
    while (count < digits.size() && DigitValue(digits[count]) < radix)
        ++count;
    whole = count > 0 && count == digits.size();
    if (count == 0)
        return 0.0;
    std::string hex;
    if (radix == 16) {
        hex.assign(digits.substr(0, count));
    } else {
        std::string nibbles((count * 3 + 3) / 4, 0);
        for (std::size_t k = 0; k < count; ++k) {
            const int d = DigitValue(digits[count - 1 - k]);
            for (std::size_t bit = 0; bit < 3; ++bit)
                if ((d >> bit) & 1)
                    nibbles[nibbles.size() - 1 - (3 * k + bit) / 4] |=
                        static_cast<char>(1 << ((3 * k + bit) % 4));
        }
        for (const char n : nibbles)
            hex.push_back("0123456789abcdef"[static_cast<unsigned char>(n)]);
    }
    double value = 0.0;
    const auto [end, ec] =
        std::from_chars(hex.data(), hex.data() + hex.size(), value, std::chars_format::hex);
    (void)end;
    // Digits alone cannot make a value too small, only one too large.
    return ec == std::errc::result_out_of_range ? std::numeric_limits<double>::infinity() : value;
}

double Read(std::string_view text, bool& whole) noexcept {
    // Blanks are ignored wherever they stand, so squeeze them out first.
    std::string s;
    s.reserve(text.size());
    for (char ch : text)
        if (!IsIgnoredBlank(ch))
            s.push_back(ch);

    if (s.size() >= 2 && s[0] == '&') {
        const char p = s[1];
        if (p == 'H' || p == 'h')
            return ReadRadixInteger(std::string_view(s).substr(2), 16, whole);
        if (p == 'O' || p == 'o')
            return ReadRadixInteger(std::string_view(s).substr(2), 8, whole);
        whole = false;
        return 0.0;
    }

    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }

    // The decimal part is copied into a canonical form for from_chars, which
    // rounds correctly and ignores the locale.
    std::string mantissa;
    long long integerDigits = 0; // significant digits before the period
    long long leadingZeros = 0;  // zeros after the period before the first significant digit
    bool significant = false;
    bool seenPeriod = false;
    bool seenDigit = false;
    for (; i < s.size(); ++i) {
        const char ch = s[i];
        if (IsDigit(ch)) {
            seenDigit = true;
            if (!seenPeriod && (ch != '0' || integerDigits > 0))
                ++integerDigits;
            if (seenPeriod && !significant && integerDigits == 0 && ch == '0')
                ++leadingZeros;
            if (ch != '0')
                significant = true;
            mantissa.push_back(ch);
        } else if (ch == '.' && !seenPeriod) {
            seenPeriod = true;
            mantissa.push_back(ch);
        } else {
            break;
        }
    }
    whole = seenDigit && i == s.size();
    if (!seenDigit)
        return 0.0;

    long long exponent = 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            expNegative = s[j] == '-';
            ++j;
        }
        if (j < s.size() && IsDigit(s[j])) {
            for (; j < s.size() && IsDigit(s[j]); ++j)
                if (exponent < 1000000000000LL) // far beyond any text's digits
                    exponent = exponent * 10 + (s[j] - '0');
            if (expNegative)
                exponent = -exponent;
        }
        whole = j == s.size() && IsDigit(s[j - 1]);
    }

    std::string canonical = mantissa + "e" + std::to_string(exponent);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(canonical.data(), canonical.data() + canonical.size(),
                                           value, std::chars_format::scientific);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Too large gives infinity, too small gives zero; the callers check
        // that what they compute with is finite. The value lies between
        // 10^(order - 1) and 10^order, whatever zeros lead its digits.
        const long long order = (integerDigits > 0 ? integerDigits : -leadingZeros) + exponent;
        value = significant && order > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

} // namespace

double ReadNumber(std::string_view text) noexcept {
    bool whole = false;
    return Read(text, whole);
}

bool ReadsWhole(std::string_view text) noexcept {
    bool whole = false;
    Read(text, whole);
    return whole;
}

std::optional<double> ReadWholeNumber(std::string_view text) noexcept {
    const auto blank = [](char ch) { return ch == ' ' || ch == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    // The decimal form alone: no blanks inside, no &H or &O, no comma.
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    bool period = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i]))
            ++digits;
        else if (text[i] == '.' && !period)
            period = true;
        else
            break;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (i == text.size() || !IsDigit(text[i]))
            return std::nullopt;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
    }
    if (i != text.size())
        return std::nullopt;
    // The lenient reader rounds correctly and takes a value below the least
    // double to 0 and one above the greatest to infinity.
    const double value = ReadNumber(text);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string NotANumberText(std::string_view field, std::string_view text) {
    return std::string(field) + " takes a number, not \"" + std::string(text) + "\"";
}

std::string ExactNumberText(double value) {
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, end) : std::string("?");
}

} // namespace veltrim
