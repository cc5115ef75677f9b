#pragma once
// The About window's "Homepage" link: a self-painted static control, always
// underlined, with the hand cursor; a left-button release over it makes the
// main loop open the homepage.

#include <windows.h>

// Where the link leads. A distributor puts their own host here; the reserved
// documentation domain never sends a user to a site someone else may own.
constexpr wchar_t HomepageAddress[] = L"https://kelvaro.example/ovk/apps.html";

// Creates the link as a child of `parent` with the given rectangle and font,
// its hover colour and underline set; it stays hidden until shown.
HWND CreateHomepageLink(HWND parent, int x, int y, int width, int height, HFONT font, COLORREF hoverColour);

// The colour that the link's text and underline have when not hovered.
void SetLinkNormalColour(HWND link, COLORREF colour);

// Hands the address to the Windows shell; shows nothing when that fails.
void OpenHomepage();
