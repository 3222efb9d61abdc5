// Reads a fuzzer's bytes as a stream of small decisions: numbers in a range, choices from a
// list, UTF-16 text. Running out of bytes reads as zeros, so every input decodes to something.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool Empty() const { return m_pos >= m_size; }
    std::size_t Remaining() const { return m_pos < m_size ? m_size - m_pos : 0; }

    std::uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::uint16_t Word()
    {
        std::uint16_t low = Byte();
        return static_cast<std::uint16_t>(low | (Byte() << 8));
    }
    std::uint32_t Dword()
    {
        std::uint32_t low = Word();
        return low | (std::uint32_t(Word()) << 16);
    }
    // A number in 0..count-1 (count > 0).
    std::uint32_t Below(std::uint32_t count) { return count <= 256 ? Byte() % count : Dword() % count; }

    // Up to maxUnits UTF-16 units, anything allowed (NUL, lone surrogates). The length comes first.
    std::u16string RawText(std::size_t maxUnits)
    {
        std::size_t length = Byte() % (maxUnits + 1);
        std::u16string text;
        for (std::size_t i = 0; i < length && !Empty(); ++i) text.push_back(static_cast<char16_t>(Word()));
        return text;
    }

    // Text biased towards what paths and key names are made of: each unit picked from a small
    // alphabet of separators, dots and letters, with an escape to any 16-bit unit.
    std::u16string PathText(std::size_t maxUnits)
    {
        static const char16_t kAlphabet[] = u"\\/..aAbZ:*?\"<>| \t~$";
        constexpr std::size_t kAlphabetSize = sizeof kAlphabet / sizeof kAlphabet[0] - 1;
        std::size_t length = Byte() % (maxUnits + 1);
        std::u16string text;
        for (std::size_t i = 0; i < length && !Empty(); ++i) {
            std::uint8_t pick = Byte();
            if (pick < 0xE0) text.push_back(kAlphabet[pick % kAlphabetSize]);
            else text.push_back(static_cast<char16_t>(Word()));
        }
        return text;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// A violated expectation: says which, then aborts so the fuzzer keeps the input.
[[noreturn]] inline void FuzzFail(const char* what)
{
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}
#define FUZZ_CHECK(condition) \
    do {                      \
        if (!(condition)) FuzzFail(#condition); \
    } while (0)
