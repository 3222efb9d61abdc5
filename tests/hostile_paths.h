// A generator of hostile device paths, for the device-path mappings of both builds.
#pragma once
#include <random>
#include <string>
#include <utility>

// Paths made of ".." chains, both separators, host paths, NUL, lone surrogates, forbidden
// characters, over-long names and paths, and the names of what was planted to be reached.
class HostilePathMaker {
public:
    // `scratchAsRelative`: the test's scratch folder written as a relative path, among the names.
    HostilePathMaker(std::u16string scratchAsRelative, unsigned seed)
        : m_scratch(std::move(scratchAsRelative)), m_random(seed)
    {
    }

    std::u16string Next()
    {
        std::u16string path;
        if (Pick(4) == 0) path += Piece(kPrefixes);
        int names = 1 + Pick(12);
        for (int i = 0; i < names; ++i) {
            if (i || Pick(3)) path += Separator();
            path += Name();
        }
        if (Pick(10) == 0) path.insert(Pick(path.size() + 1), 1, u'\0');
        if (Pick(10) == 0) path.insert(Pick(path.size() + 1), 1, static_cast<char16_t>(Pick(2) ? 0xD800 + Pick(0x400) : 0xDC00 + Pick(0x400)));
        if (Pick(25) == 0) path.append(Pick(2) ? 40000 : 5000, Pick(2) ? u'a' : u'\\');
        return path;
    }

private:
    static constexpr const char16_t* kSeparators[] = {u"\\", u"/", u"\\\\", u"//", u"\\/"};
    // Names Windows takes for devices, whatever the folder: trailing spaces and dots and any
    // extension included.
    static constexpr const char16_t* kDeviceNames[] = {u"nul .txt", u"CON", u"conin$", u"CONOUT$", u"COM1.log",
                                                       u"lpt9", u"com\u00B9", u"aux.", u"prn  ", u"nul..x"};
    static constexpr const char16_t* kPrefixes[] = {u"\\\\?\\", u"C:", u"\\\\server\\share", u"~", u"file://", u"/etc/passwd", u"\\..\\..\\etc"};

    // Mostly one separator of either kind; now and then a doubled one, which is refused.
    std::u16string Separator() { return Pick(8) ? std::u16string(1, Pick(2) ? u'\\' : u'/') : Piece(kSeparators); }

    template <std::size_t N>
    std::u16string Piece(const char16_t* const (&list)[N])
    {
        return list[Pick(N)];
    }

    std::u16string Name()
    {
        switch (Pick(13)) {
        case 0: case 1: case 2: return u"..";
        case 3: return u".";
        case 4: return u"...";
        case 5: return m_scratch;
        case 6: return u"canary.txt";
        case 7: return Pick(2) ? u"dirlink" : u"filelink";
        case 8: return Pick(2) ? u"etc" : u"passwd";
        case 9: return std::u16string(256 + Pick(100), u'n');
        case 10: return std::u16string(1, u"<>:\"|?*\t"[Pick(8)]);
        case 11: return Piece(kDeviceNames);
        default: return u"Windows";
        }
    }

    std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_random); }

    std::u16string m_scratch;
    std::mt19937 m_random;
};

