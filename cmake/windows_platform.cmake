# The platform on Windows: the real API, the shell's Windows room and the Windows driver, with
# the pieces of the platform that are plain code (dialog templates, menu resources, help links,
# text conversion).
enable_language(RC)
file(GLOB QUORIX_WINDOWS_SOURCES CONFIGURE_DEPENDS platform/drivers/windows/*.cpp platform/shell/win32/*.cpp)
add_library(quorix_platform STATIC ${QUORIX_WINDOWS_SOURCES}
  platform/controls/dialog_template.cpp
  platform/kernel/help_links.cpp
  platform/kernel/host_text.cpp
  platform/user/key_taps.cpp
  platform/shell/menu_resource.cpp
  platform/shell/menu_bar_buttons.cpp
  platform/shell/shell_draw.cpp)
target_include_directories(quorix_platform PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(quorix_platform PUBLIC UNICODE _UNICODE NOMINMAX)
target_link_libraries(quorix_platform PUBLIC user32 gdi32 kernel32 shell32 advapi32 oleacc ole32 oleaut32)
# One self-contained executable each: the C++ runtime inside, only the system's DLLs outside.
add_link_options(-static -static-libgcc -static-libstdc++)
# -O2 as the Linux builds: GCC 12's -O3 warns falsely (-Wrestrict) inside std::string.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")
