// Browser-ready copies of the device's help pages. The pages are HTML in files named .htc and
// .htp, which a desktop browser would not show as HTML; the copies are named .html and link to
// each other by those names. Internal to the layer.
#pragma once
#include <string>
#include <string_view>

// True for a help page's name: .htc or .htp, in any case.
bool IsHelpPageName(std::string_view name);
// The copy's file name: the page's name in ASCII lower case with ".html" appended.
std::string MirrorPageName(std::string_view pageName);
// The page's HTML with every relative link to a .htc or .htp page in the same folder pointed at
// that page's copy; every other link is left as it is.
std::string RewriteHelpLinks(std::string_view html);
// Brings the copies of every help page in the page's folder up to date (in
// $XDG_CACHE_HOME/<program>/help) and gives the host path of this page's copy.
bool MirrorHelpPages(const std::string& pageHostPath, std::string* mirrorPath);
