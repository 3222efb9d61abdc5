// The stored glyphs. The file is binary, in this machine's byte order:
//   a header: "<program>-glyphs 1\n", then what it was written under, one line each:
//     "exe <size> <mtime ns>\n", "freetype <path> <size> <mtime ns>\n", and "end\n";
//   then records, each <u32 payload length> <u32 checksum of the payload> <payload>, the payload
//   'F' <key> <file path> <i32 index> <u8 real bold> <i64 size> <i64 mtime ns> <i32 x 6 metrics>
//       <i64 x size> <i64 y size> <u8 embolden>, or
//   'G' <key> <u32 code point> <i32 left, top, width, height, advance> <width x height coverage>;
//   strings are <u16 length> <bytes>.
// New records are appended, one write each; a file written under another header is replaced
// whole. A start reads the store without loading FreeType: the header holds while the executable
// and the FreeType file it names are unchanged (and, once FreeType is loaded, it is that file).
// It is input like any other: reading stops at the first record that is cut short, too
// long or whose checksum fails, and keeps what came before.
#include "platform/gdi/fonts/glyph_store.h"
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include "platform/gdi/fonts/freetype_library.h"
#include "platform/kernel/host_dirs.h"

namespace {

constexpr std::size_t kMaxFileBytes = 4 << 20;
constexpr std::size_t kMaxPayload = 1 << 20;
constexpr int kMaxGlyphSide = kMaxStoredGlyphSide;

long long MtimeNs(const struct stat& st)
{
    return static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

// "<size> <mtime>" of the file at path; empty when it cannot be read.
std::string FileStamp(const char* path)
{
    struct stat st;
    if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return {};
    return std::to_string(st.st_size) + " " + std::to_string(MtimeNs(st));
}

// The header up to the FreeType file's name, which follows with its stamp.
std::string HeaderPrefix(const std::string& exeStamp)
{
    return std::string(ProgramName()) + "-glyphs 1\nexe " + exeStamp + "\nfreetype ";
}

std::string HeaderFor(const std::string& exeStamp, const std::string& freetype, const std::string& freetypeStamp)
{
    return HeaderPrefix(exeStamp) + freetype + " " + freetypeStamp + "\nend\n";
}

// The header for this executable and the FreeType library loaded; empty when either cannot be
// identified or none is loaded (then nothing is stored: glyphs from another build or library
// could differ).
std::string Header()
{
    std::string exe = FileStamp("/proc/self/exe");
    std::string path = LoadedFreeTypeFile();
    if (exe.empty() || path.empty() || path.find('\n') != std::string::npos) return {};
    std::string freetype = FileStamp(path.c_str());
    if (freetype.empty()) return {};
    return HeaderFor(exe, path, freetype);
}

// The header `text` begins with, when it still holds for this executable and FreeType; else
// empty. The FreeType file is the one named, checked by its stamp, as long as none is loaded.
std::string HeaderHolding(std::string_view text)
{
    std::size_t end = text.find("\nend\n");
    if (end == std::string_view::npos) return {};
    std::string header(text.substr(0, end + 5));
    std::string exe = FileStamp("/proc/self/exe");
    std::string loaded = LoadedFreeTypeFile();
    std::string prefix = HeaderPrefix(exe);
    if (exe.empty() || header.compare(0, prefix.size(), prefix) != 0) return {};
    // "<path> <size> <mtime>": the path is what comes before the last two fields.
    std::string named = header.substr(prefix.size(), end - prefix.size());
    std::size_t mtime = named.rfind(' ');
    std::size_t size = mtime == std::string::npos || mtime == 0 ? std::string::npos : named.rfind(' ', mtime - 1);
    if (size == std::string::npos || size == 0) return {};
    std::string path = named.substr(0, size);
    if (path[0] != '/' || (!loaded.empty() && loaded != path)) return {};
    std::string stamp = FileStamp(path.c_str());
    return !stamp.empty() && HeaderFor(exe, path, stamp) == header ? header : std::string();
}

// FNV-1a over 64-bit words (then the last bytes one by one): a start checks every glyph it uses.
std::uint32_t Checksum(std::string_view bytes)
{
    std::uint64_t h = 14695981039346656037ull;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        h = (h ^ word) * 1099511628211ull;
    }
    for (; i < bytes.size(); ++i) h = (h ^ static_cast<unsigned char>(bytes[i])) * 1099511628211ull;
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

// Bounds-checked reading of a payload: once anything is short, every later read gives zeros.
struct Reader {
    std::string_view rest;
    bool ok = true;

    std::string_view Bytes(std::size_t n)
    {
        if (!ok || rest.size() < n) {
            ok = false;
            return {};
        }
        std::string_view taken = rest.substr(0, n);
        rest.remove_prefix(n);
        return taken;
    }
    template <class T> T Get()
    {
        T value{};
        std::string_view b = Bytes(sizeof value);
        if (ok) std::memcpy(&value, b.data(), sizeof value);
        return value;
    }
    std::string_view Text() { return Bytes(Get<std::uint16_t>()); }
};

struct Writer {
    std::string out;

    template <class T> void Put(T value) { out.append(reinterpret_cast<const char*>(&value), sizeof value); }
    bool Text(const std::string& s)
    {
        if (s.size() > 0xFFFF) return false;
        Put(std::uint16_t(s.size()));
        out += s;
        return true;
    }
};

struct FontEntry {
    StoredFont font;
    std::string fileStamp;  // "<size> <mtime>" of the font file when stored
    int checked = 0;        // 0 not yet, 1 unchanged, -1 changed
};

struct Store {
    bool read = false;
    std::string header;   // empty: storing is off
    bool headerMade = false;  // `header` is this process's own, made once FreeType was loaded
    bool current = false;  // the file on disk begins with this header
    bool unwritable = false;  // a new file could not be made: not tried again in this process
    std::size_t bytes = 0;
    std::string text;  // the file as read; glyph offsets point into it
    std::unordered_map<std::string, FontEntry> fonts;
    std::unordered_map<std::string, std::size_t> glyphs;  // key '\n' code point -> where its record begins in `text`
};
Store g_store;

std::string StorePath()
{
    return ProgramDirectory("XDG_CACHE_HOME", ".cache", "glyphs.cache");
}

std::string GlyphKey(std::string_view key, char32_t codepoint)
{
    std::string k(key);
    k += '\n';
    k += std::to_string(std::uint32_t(codepoint));
    return k;
}

bool ReadFont(Reader& r, std::string* key, FontEntry* e)
{
    *key = std::string(r.Text());
    e->font.file.path = std::string(r.Text());
    e->font.file.index = r.Get<std::int32_t>();
    e->font.file.bold = r.Get<std::uint8_t>() != 0;
    long long size = r.Get<std::int64_t>(), mtime = r.Get<std::int64_t>();
    e->fileStamp = std::to_string(size) + " " + std::to_string(mtime);
    for (int* m : {&e->font.ascent, &e->font.descent, &e->font.internalLeading, &e->font.aveCharWidth,
                   &e->font.maxCharWidth, &e->font.weight}) {
        *m = r.Get<std::int32_t>();
    }
    e->font.xSize = r.Get<std::int64_t>();
    e->font.ySize = r.Get<std::int64_t>();
    e->font.embolden = r.Get<std::uint8_t>() != 0;
    // A record can be well formed and still hold what no font has: such metrics would overflow
    // the text layout's arithmetic.
    const StoredFont& f = e->font;
    bool sane = f.file.index >= 0 && f.weight >= 0 && f.weight <= 1000 && f.xSize > 0 && f.ySize > 0 &&
                f.xSize <= kMaxGlyphSide * 64 && f.ySize <= kMaxGlyphSide * 64;
    for (int m : {f.ascent, f.descent, f.internalLeading, f.aveCharWidth, f.maxCharWidth}) {
        sane = sane && m >= -kMaxGlyphSide && m <= kMaxGlyphSide;
    }
    return r.ok && r.rest.empty() && sane && !f.file.path.empty() && f.file.path[0] == '/';
}

// Reads a glyph's fields; false when they do not add up. The coverage is left in `r`.
bool ReadGlyph(Reader& r, GlyphImage* g)
{
    g->left = r.Get<std::int32_t>();
    g->top = r.Get<std::int32_t>();
    g->width = r.Get<std::int32_t>();
    g->height = r.Get<std::int32_t>();
    g->advance = r.Get<std::int32_t>();
    auto inRange = [](int v) { return v >= -kMaxGlyphSide && v <= kMaxGlyphSide; };
    return r.ok && g->width >= 0 && g->height >= 0 && g->width <= kMaxGlyphSide && g->height <= kMaxGlyphSide &&
           inRange(g->left) && inRange(g->top) && inRange(g->advance) &&
           r.rest.size() == std::size_t(g->width) * std::size_t(g->height);
}

// Indexes the records after the header, up to the first one that is damaged.
void IndexRecords(std::size_t at)
{
    std::string_view all(g_store.text);
    while (all.size() - at >= 8) {
        Reader head{all.substr(at, 8)};
        std::uint32_t length = head.Get<std::uint32_t>(), sum = head.Get<std::uint32_t>();
        if (length == 0 || length > kMaxPayload || all.size() - at - 8 < length) return;
        std::string_view payload = all.substr(at + 8, length);
        Reader r{payload};
        char kind = r.Get<char>();
        if (kind == 'F') {
            std::string key;
            FontEntry entry;
            if (Checksum(payload) != sum || !ReadFont(r, &key, &entry)) return;
            g_store.fonts.emplace(std::move(key), std::move(entry));
        } else if (kind == 'G') {
            // A glyph's checksum is checked when it is used: most are never asked for in a run.
            std::string_view key = r.Text();
            char32_t codepoint = r.Get<std::uint32_t>();
            GlyphImage fields;
            if (!ReadGlyph(r, &fields)) return;
            g_store.glyphs.emplace(GlyphKey(key, codepoint), at);
        } else {
            return;
        }
        at += 8 + length;
    }
}

void ReadOnce()
{
    if (g_store.read) return;
    g_store.read = true;
    bool whole = false;
    if (!ReadFileCapped(StorePath(), 0, kMaxFileBytes, &g_store.text, &whole) || !whole ||
        (g_store.header = HeaderHolding(g_store.text)).empty()) {
        g_store.text.clear();
        return;
    }
    g_store.current = true;
    g_store.bytes = g_store.text.size();
    IndexRecords(g_store.header.size());
}

// Begins the file again with only the header.
bool StartFile()
{
    if (!MakeDirectories(ProgramDirectory("XDG_CACHE_HOME", ".cache"), 0700)) return false;
    FileReplacement file(StorePath(), 0600);
    g_store.current =
        file.Commit(file.Fd() >= 0 && WriteAll(file.Fd(), g_store.header.data(), g_store.header.size()));
    g_store.bytes = g_store.current ? g_store.header.size() : 0;
    return g_store.current;
}

// Records are written only after FreeType drew what they hold, so it is loaded: the header is
// made for it, and a file begun under another is begun again.
void Append(const std::string& payload)
{
    ReadOnce();
    if (!g_store.headerMade) {
        g_store.headerMade = true;
        std::string header = Header();
        if (header != g_store.header) {
            g_store.header = header;
            g_store.current = false;
        }
    }
    if (g_store.header.empty() || payload.size() > kMaxPayload) return;
    std::string record;
    Writer w;
    w.Put(std::uint32_t(payload.size()));
    w.Put(Checksum(payload));
    record = w.out + payload;
    if (g_store.unwritable) return;
    if ((!g_store.current || g_store.bytes + record.size() > kMaxFileBytes) && !StartFile()) {
        g_store.unwritable = true;
        return;
    }
    int fd = open(StorePath().c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return;
    if (WriteAll(fd, record.data(), record.size())) g_store.bytes += record.size();
    else g_store.current = false;  // a part may have been written: begin again next time
    close(fd);
}

}  // namespace

std::optional<StoredFont> StoredFontFor(const std::string& key)
{
    ReadOnce();
    auto it = g_store.fonts.find(key);
    if (it == g_store.fonts.end()) return std::nullopt;
    FontEntry& e = it->second;
    if (e.checked == 0) e.checked = FileStamp(e.font.file.path.c_str()) == e.fileStamp ? 1 : -1;
    if (e.checked < 0) return std::nullopt;
    return e.font;
}

void StoreFont(const std::string& key, const StoredFont& font)
{
    struct stat st;
    if (stat(font.file.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || font.file.path[0] != '/') return;
    Writer w;
    w.Put('F');
    if (!w.Text(key) || !w.Text(font.file.path)) return;
    w.Put(std::int32_t(font.file.index));
    w.Put(std::uint8_t(font.file.bold));
    w.Put(std::int64_t(st.st_size));
    w.Put(std::int64_t(MtimeNs(st)));
    for (int m : {font.ascent, font.descent, font.internalLeading, font.aveCharWidth, font.maxCharWidth, font.weight}) {
        w.Put(std::int32_t(m));
    }
    w.Put(std::int64_t(font.xSize));
    w.Put(std::int64_t(font.ySize));
    w.Put(std::uint8_t(font.embolden));
    Append(w.out);
    if (!g_store.header.empty()) {
        g_store.fonts[key] = FontEntry{font, std::to_string(st.st_size) + " " + std::to_string(MtimeNs(st)), 1};
    }
}

std::shared_ptr<const GlyphImage> StoredGlyph(const std::string& key, char32_t codepoint)
{
    ReadOnce();
    auto it = g_store.glyphs.find(GlyphKey(key, codepoint));
    if (it == g_store.glyphs.end()) return nullptr;
    // Indexing checked the record's structure; what is left to check is that its bytes are the
    // ones written.
    Reader head{std::string_view(g_store.text).substr(it->second, 8)};
    std::uint32_t length = head.Get<std::uint32_t>(), sum = head.Get<std::uint32_t>();
    std::string_view payload = std::string_view(g_store.text).substr(it->second + 8, length);
    if (Checksum(payload) != sum) return nullptr;
    Reader r{payload};
    r.Get<char>();
    r.Text();
    r.Get<std::uint32_t>();
    auto g = std::make_shared<GlyphImage>();
    if (!ReadGlyph(r, g.get())) return nullptr;
    g->coverage.assign(r.rest.begin(), r.rest.end());
    return g;
}

void StoreGlyph(const std::string& key, char32_t codepoint, const GlyphImage& glyph)
{
    Writer w;
    w.Put('G');
    if (!w.Text(key)) return;
    w.Put(std::uint32_t(codepoint));
    for (int v : {glyph.left, glyph.top, glyph.width, glyph.height, glyph.advance}) w.Put(std::int32_t(v));
    w.out.append(reinterpret_cast<const char*>(glyph.coverage.data()), glyph.coverage.size());
    Append(w.out);
}

void ForgetStoredGlyphsForTesting()
{
    g_store = Store{};
}

void ReadStoredRecordsForTesting(std::string_view records)
{
    g_store = Store{};
    g_store.read = true;
    g_store.text = std::string(records);
    IndexRecords(0);
}

std::vector<std::string> StoredFontKeysForTesting()
{
    std::vector<std::string> keys;
    for (const auto& font : g_store.fonts) keys.push_back(font.first);
    return keys;
}

std::vector<std::pair<std::string, char32_t>> StoredGlyphKeysForTesting()
{
    std::vector<std::pair<std::string, char32_t>> keys;
    for (const auto& glyph : g_store.glyphs) {
        std::size_t end = glyph.first.rfind('\n');
        keys.emplace_back(glyph.first.substr(0, end),
                          static_cast<char32_t>(std::stoul(glyph.first.substr(end + 1))));
    }
    return keys;
}
