// The numbers and names of the AT-SPI2 protocol that the bridge speaks: roles, states, object
// paths and interface names, as the protocol's clients define them.
#pragma once
#include <cstdint>

namespace atspi {

enum Role : std::uint32_t {
    ROLE_INVALID = 0,
    ROLE_CHECK_BOX = 7,
    ROLE_DIALOG = 16,
    ROLE_FILLER = 20,
    ROLE_FRAME = 23,
    ROLE_ICON = 26,
    ROLE_LABEL = 29,
    ROLE_MENU = 33,
    ROLE_MENU_BAR = 34,
    ROLE_MENU_ITEM = 35,
    ROLE_PANEL = 39,
    ROLE_PUSH_BUTTON = 43,
    ROLE_RADIO_BUTTON = 44,
    ROLE_SEPARATOR = 50,
    ROLE_TEXT = 61,
    ROLE_TOGGLE_BUTTON = 62,
    ROLE_APPLICATION = 75,
};

enum State : std::uint32_t {
    STATE_ACTIVE = 1,
    STATE_CHECKED = 4,
    STATE_DEFUNCT = 6,
    STATE_ENABLED = 8,
    STATE_EXPANDABLE = 9,
    STATE_EXPANDED = 10,
    STATE_FOCUSABLE = 11,
    STATE_FOCUSED = 12,
    STATE_MODAL = 16,
    STATE_PRESSED = 20,
    STATE_SELECTABLE = 22,
    STATE_SENSITIVE = 24,
    STATE_SHOWING = 25,
    STATE_SINGLE_LINE = 26,
    STATE_VISIBLE = 30,
    STATE_CHECKABLE = 41,
    STATE_HAS_POPUP = 42,
    STATE_READ_ONLY = 43,
};
constexpr std::uint64_t StateBit(State s)
{
    return std::uint64_t(1) << s;
}

enum CoordType : std::uint32_t { COORD_SCREEN = 0, COORD_WINDOW = 1, COORD_PARENT = 2 };
enum Layer : std::uint32_t { LAYER_WIDGET = 3, LAYER_POPUP = 5, LAYER_WINDOW = 7 };
// GetTextAtOffset's boundaries and GetStringAtOffset's granularities that the bridge tells apart.
enum TextBoundary : std::uint32_t { BOUNDARY_CHAR = 0 };
enum TextGranularity : std::uint32_t { GRANULARITY_CHAR = 0 };

constexpr const char* kPathPrefix = "/org/a11y/atspi/accessible/";
constexpr const char* kRootPath = "/org/a11y/atspi/accessible/root";
constexpr const char* kNullPath = "/org/a11y/atspi/null";
constexpr const char* kRegistryName = "org.a11y.atspi.Registry";

constexpr const char* kAccessible = "org.a11y.atspi.Accessible";
constexpr const char* kApplication = "org.a11y.atspi.Application";
constexpr const char* kComponent = "org.a11y.atspi.Component";
constexpr const char* kAction = "org.a11y.atspi.Action";
constexpr const char* kText = "org.a11y.atspi.Text";
constexpr const char* kSocket = "org.a11y.atspi.Socket";
constexpr const char* kProperties = "org.freedesktop.DBus.Properties";
constexpr const char* kEventObject = "org.a11y.atspi.Event.Object";
constexpr const char* kEventWindow = "org.a11y.atspi.Event.Window";
constexpr const char* kEventFocus = "org.a11y.atspi.Event.Focus";

}  // namespace atspi
