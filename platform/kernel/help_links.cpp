// The help pages' links rewritten for their browser-ready copies: plain text work, shared by every
// target's help viewer.
#include "platform/kernel/help_mirror.h"

namespace {

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view tail)
{
    if (text.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        if (LowerAscii(text[text.size() - tail.size() + i]) != tail[i]) return false;
    }
    return true;
}

// A link to a page of the same folder: no scheme, no folder, a help page's extension.
bool IsSiblingPageLink(std::string_view target)
{
    return !target.empty() && target.find_first_of(":/\\") == std::string_view::npos && IsHelpPageName(target);
}

std::string RewriteLink(std::string_view link)
{
    std::size_t cut = link.find_first_of("#?");
    std::string_view target = link.substr(0, cut);
    if (!IsSiblingPageLink(target)) return std::string(link);
    std::string rewritten = MirrorPageName(target);
    if (cut != std::string_view::npos) rewritten += link.substr(cut);
    return rewritten;
}

bool StartsWithIgnoringCase(std::string_view text, std::size_t at, std::string_view word)
{
    if (text.size() - at < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (LowerAscii(text[at + i]) != word[i]) return false;
    }
    return true;
}

bool IsNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

std::size_t SkipSpaces(std::string_view text, std::size_t at)
{
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r')) ++at;
    return at;
}

}  // namespace

bool IsHelpPageName(std::string_view name)
{
    return EndsWithIgnoringCase(name, ".htc") || EndsWithIgnoringCase(name, ".htp");
}

std::string MirrorPageName(std::string_view pageName)
{
    std::string name;
    for (char c : pageName) name.push_back(LowerAscii(c));
    return name + ".html";
}

std::string RewriteHelpLinks(std::string_view html)
{
    std::string out;
    out.reserve(html.size());
    std::size_t copied = 0;
    for (std::size_t at = 0; at < html.size(); ++at) {
        if (!StartsWithIgnoringCase(html, at, "href") || (at > 0 && IsNameChar(html[at - 1]))) continue;
        std::size_t value = SkipSpaces(html, at + 4);
        if (value >= html.size() || html[value] != '=') continue;
        value = SkipSpaces(html, value + 1);
        if (value >= html.size()) break;
        char quote = (html[value] == '"' || html[value] == '\'') ? html[value] : '\0';
        if (quote) ++value;
        std::size_t end = value;
        while (end < html.size() && (quote ? html[end] != quote : html[end] != ' ' && html[end] != '>')) ++end;
        out.append(html.substr(copied, value - copied));
        out += RewriteLink(html.substr(value, end - value));
        copied = end;
        at = end;
    }
    out.append(html.substr(copied));
    return out;
}

