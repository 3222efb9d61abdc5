// Font matching through fontconfig, done once per (face, weight) and per missing code point.
// Only single matches are asked for: the font list is never enumerated, start-up stays fast.
// A (face, weight) match is remembered between runs (font_file_cache): a start that finds it
// there never starts fontconfig at all, nor loads its library.
#include "platform/gdi/fonts/font_match.h"
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <strings.h>
#include "platform/gdi/fonts/font_file_cache.h"
#include "platform/gdi/fonts/fontconfig_library.h"

namespace {

constexpr std::size_t kFallbackCacheCap = 4096;
constexpr const char* kDefaultFamilies[] = {"IPAGothic", "IPAexGothic"};

int g_fontconfigMatches = 0;
std::map<std::pair<std::string, bool>, std::optional<FontFile>> g_faceMatches;

const FontconfigApi* g_fc = nullptr;

bool FontconfigReady()
{
    static const bool ready = [] {
        g_fc = LoadFontconfig();
        if (!g_fc || g_fc->FcInit() != FcTrue) return false;
        // fontconfig keeps blocks it only frees in FcFini; leak checkers would blame every run.
        std::atexit([] { g_fc->FcFini(); });
        return true;
    }();
    return ready;
}

bool IsDefaultAlias(const std::string& face)
{
    return face.empty() || strcasecmp(face.c_str(), "System") == 0 || strcasecmp(face.c_str(), "MS UI Gothic") == 0;
}

bool HasFamily(FcPattern* font, const std::string& family)
{
    FcChar8* value = nullptr;
    for (int i = 0; g_fc->FcPatternGetString(font, FC_FAMILY, i, &value) == FcResultMatch; ++i) {
        if (strcasecmp(reinterpret_cast<const char*>(value), family.c_str()) == 0) return true;
    }
    return false;
}

std::optional<FontFile> FileOf(FcPattern* font)
{
    FcChar8* file = nullptr;
    if (g_fc->FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
    FontFile f;
    f.path = reinterpret_cast<const char*>(file);
    int index = 0;
    if (g_fc->FcPatternGetInteger(font, FC_INDEX, 0, &index) == FcResultMatch) f.index = index;
    int weight = FC_WEIGHT_REGULAR;
    g_fc->FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
    // fontconfig marks a regular face it would embolden as bold: that is not a bold face.
    FcBool embolden = FcFalse;
    g_fc->FcPatternGetBool(font, FC_EMBOLDEN, 0, &embolden);
    f.bold = weight >= FC_WEIGHT_BOLD && !embolden;
    return f;
}

// Runs a match for `pattern` (which it destroys); `family`, when given, must be what came back.
std::optional<FontFile> Match(FcPattern* pattern, const char* family)
{
    if (!pattern) return std::nullopt;
    g_fc->FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    g_fc->FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* font = g_fc->FcFontMatch(nullptr, pattern, &result);
    g_fc->FcPatternDestroy(pattern);
    if (!font) return std::nullopt;
    std::optional<FontFile> f;
    if (!family || HasFamily(font, family)) f = FileOf(font);
    g_fc->FcPatternDestroy(font);
    return f;
}

std::optional<FontFile> MatchFamily(const std::string& family, bool bold)
{
    FcPattern* p = g_fc->FcPatternCreate();
    g_fc->FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    g_fc->FcPatternAddInteger(p, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    return Match(p, family.c_str());
}

std::optional<FontFile> MatchWithFontconfig(const std::string& face, bool bold);

std::optional<FontFile> MatchJapaneseSans(bool bold)
{
    FcPattern* p = g_fc->FcPatternCreate();
    g_fc->FcPatternAddString(p, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    g_fc->FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    g_fc->FcPatternAddInteger(p, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    return Match(p, nullptr);
}

std::optional<FontFile> MatchUncached(const std::string& face, bool bold)
{
    if (std::optional<FontFile> remembered = RememberedFontFile(face, bold)) return remembered;
    ++g_fontconfigMatches;
    std::optional<FontFile> f = MatchWithFontconfig(face, bold);
    if (f) RememberFontFile(face, bold, *f);
    return f;
}

std::optional<FontFile> MatchWithFontconfig(const std::string& face, bool bold)
{
    if (!FontconfigReady()) return std::nullopt;
    if (!IsDefaultAlias(face)) {
        if (auto f = MatchFamily(face, bold)) return f;
    }
    for (const char* family : kDefaultFamilies) {
        if (auto f = MatchFamily(family, bold)) return f;
    }
    return MatchJapaneseSans(bold);
}

// Without any font the program still runs, but draws no text at all: say so once, so that a
// face of blank keys is not a mystery.
void WarnNoFontOnce()
{
    static bool warned = false;
    if (warned) return;
    warned = true;
    if (!LoadFontconfig()) {
        std::fprintf(stderr, "%s: no font found: %s; text will not be drawn (install libfontconfig1)\n",
                     program_invocation_short_name, FontconfigLoadError());
        return;
    }
    std::fprintf(stderr, "%s: no font found through fontconfig; text will not be drawn (install fonts-ipafont-gothic)\n",
                 program_invocation_short_name);
}

}  // namespace

std::optional<FontFile> MatchFontFile(const std::string& face, bool bold)
{
    auto key = std::make_pair(face, bold);
    auto it = g_faceMatches.find(key);
    if (it != g_faceMatches.end()) return it->second;
    std::optional<FontFile> f = MatchUncached(face, bold);
    if (!f) WarnNoFontOnce();
    g_faceMatches.emplace(key, f);
    return f;
}

std::optional<FontFile> RematchUnusableFontFile(const std::string& face, bool bold, const FontFile& unusable)
{
    ForgetFontFile(face, bold);
    ++g_fontconfigMatches;
    std::optional<FontFile> f = MatchWithFontconfig(face, bold);
    if (f && f->path == unusable.path && f->index == unusable.index) {
        std::fprintf(stderr, "%s: %s is no usable font; text will not be drawn\n", program_invocation_short_name,
                     unusable.path.c_str());
        f.reset();
    }
    if (f) RememberFontFile(face, bold, *f);
    g_faceMatches[std::make_pair(face, bold)] = f;
    return f;
}

int FontconfigFaceMatchCount()
{
    return g_fontconfigMatches;
}

void ForgetFontMatchesForTesting()
{
    g_faceMatches.clear();
    ForgetRememberedFontFilesForTesting();
}

std::optional<FontFile> MatchFallbackFile(char32_t codepoint)
{
    static std::map<char32_t, std::optional<FontFile>> cache;
    auto it = cache.find(codepoint);
    if (it != cache.end()) return it->second;
    if (cache.size() >= kFallbackCacheCap) cache.clear();
    std::optional<FontFile> found;
    if (FontconfigReady()) {
        FcPattern* p = g_fc->FcPatternCreate();
        FcCharSet* wanted = g_fc->FcCharSetCreate();
        g_fc->FcCharSetAddChar(wanted, FcChar32(codepoint));
        g_fc->FcPatternAddCharSet(p, FC_CHARSET, wanted);
        g_fc->FcCharSetDestroy(wanted);
        g_fc->FcPatternAddString(p, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
        g_fc->FcConfigSubstitute(nullptr, p, FcMatchPattern);
        g_fc->FcDefaultSubstitute(p);
        FcResult result = FcResultNoMatch;
        FcPattern* font = g_fc->FcFontMatch(nullptr, p, &result);
        g_fc->FcPatternDestroy(p);
        if (font) {
            FcCharSet* has = nullptr;
            if (g_fc->FcPatternGetCharSet(font, FC_CHARSET, 0, &has) == FcResultMatch && g_fc->FcCharSetHasChar(has, FcChar32(codepoint))) {
                found = FileOf(font);
            }
            g_fc->FcPatternDestroy(font);
        }
    }
    cache.emplace(codepoint, found);
    return found;
}
