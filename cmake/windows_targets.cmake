# The Windows executables: quorix.exe a GUI program, quorix-send.exe a console one; both carry
# version information, icon 101 and the manifest (resources/windows/).
target_sources(quorix PRIVATE resources/quorix.rc resources/windows/quorix-version.rc)
set_target_properties(quorix PROPERTIES WIN32_EXECUTABLE ON)
target_sources(quorix-send PRIVATE resources/windows/quorix-send.rc)
set(QUORIX_RC_FLAGS "-I${CMAKE_SOURCE_DIR}/resources -I${CMAKE_SOURCE_DIR}/resources/windows")
string(APPEND QUORIX_RC_FLAGS " -DQUORIX_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}")
string(APPEND QUORIX_RC_FLAGS " -DQUORIX_VERSION_MINOR=${PROJECT_VERSION_MINOR}")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} ${QUORIX_RC_FLAGS}")
set_source_files_properties(resources/quorix.rc resources/windows/quorix-version.rc resources/windows/quorix-send.rc
  PROPERTIES OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/windows/quorix.manifest;${CMAKE_SOURCE_DIR}/resources/windows/version.rc;${CMAKE_SOURCE_DIR}/resources/app_icon.ico")

# Smaller executables: no symbols in a release.
target_link_options(quorix PRIVATE $<$<CONFIG:Release>:-s>)
target_link_options(quorix-send PRIVATE $<$<CONFIG:Release>:-s>)

# ---- The installer (NSIS) and a plain zip, beside the programs --------------------------------
set(QUORIX_SETUP ${CMAKE_BINARY_DIR}/quorix-${PROJECT_VERSION}-setup.exe)
set(QUORIX_ZIP ${CMAKE_BINARY_DIR}/quorix-${PROJECT_VERSION}-win64.zip)
find_program(QUORIX_MAKENSIS makensis)
if(QUORIX_MAKENSIS)
  add_custom_command(OUTPUT ${QUORIX_SETUP}
    COMMAND ${QUORIX_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DBUILD=${CMAKE_BINARY_DIR}
            -DSOURCE=${CMAKE_SOURCE_DIR} -DOUTFILE=${QUORIX_SETUP} ${CMAKE_SOURCE_DIR}/packaging/windows/quorix.nsi
    DEPENDS quorix quorix-send ${CMAKE_SOURCE_DIR}/packaging/windows/quorix.nsi
    COMMENT "Making the installer"
    VERBATIM)
  add_custom_target(quorix_setup ALL DEPENDS ${QUORIX_SETUP})
else()
  message(STATUS "makensis not found: no installer")
endif()
file(GLOB QUORIX_WIN_HELP CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/help/*)
set(QUORIX_ZIP_DIR ${CMAKE_BINARY_DIR}/zip/Quorix)
add_custom_command(OUTPUT ${QUORIX_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/zip
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QUORIX_ZIP_DIR}/help
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:quorix> $<TARGET_FILE:quorix-send> ${QUORIX_ZIP_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${QUORIX_WIN_HELP} ${QUORIX_ZIP_DIR}/help
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/zip ${CMAKE_COMMAND} -E tar cf ${QUORIX_ZIP} --format=zip Quorix
  DEPENDS quorix quorix-send ${QUORIX_WIN_HELP}
  COMMENT "Making the zip"
  VERBATIM)
add_custom_target(quorix_zip ALL DEPENDS ${QUORIX_ZIP})

# ---- Tests, run on the Linux host under Wine (tests/windows/), against the Linux build ----------
# QUORIX_LINUX_BUILD is the Linux build folder whose program and probe the Windows build is
# compared with. Each test skips (77) where Wine, Xvfb or that build is missing.
set(QUORIX_LINUX_BUILD "${CMAKE_SOURCE_DIR}/build" CACHE PATH "The Linux build to compare with")
enable_testing()
set(QUORIX_WIN_TESTS ${CMAKE_SOURCE_DIR}/tests/windows)
set(QUORIX_WIN_ENV "QUORIX_WIN_BUILD=${CMAKE_BINARY_DIR}")
add_test(NAME wine_prefix COMMAND bash ${QUORIX_WIN_TESTS}/wine_prefix.sh)
add_test(NAME wine_stop COMMAND bash ${QUORIX_WIN_TESTS}/wine_stop.sh)
add_test(NAME windows_headless
         COMMAND bash ${QUORIX_WIN_TESTS}/headless.sh $<TARGET_FILE:quorix> ${QUORIX_LINUX_BUILD}/quorix ${CMAKE_SOURCE_DIR})
add_test(NAME windows_differential
         COMMAND bash -c ". \"$0/lib.sh\" && need_wine && exec python3 \"$0/differential.py\" \"$@\""
                 ${QUORIX_WIN_TESTS} ${QUORIX_LINUX_BUILD}/quorix $<TARGET_FILE:quorix> ${CMAKE_SOURCE_DIR} 300)
add_test(NAME windows_window
         COMMAND bash ${QUORIX_WIN_TESTS}/window.sh $<TARGET_FILE:quorix> ${QUORIX_LINUX_BUILD} ${CMAKE_SOURCE_DIR})
add_test(NAME windows_installer
         COMMAND bash ${QUORIX_WIN_TESTS}/installer.sh ${QUORIX_SETUP} ${QUORIX_ZIP} ${CMAKE_SOURCE_DIR})
# The message-sequence tests that the Linux build runs too (tests/program_messages_test.cpp), what
# screen readers hear of the real controls, and hostile device paths against the Windows mapping
# (the Linux test's generator), with GoogleTest built from Debian's sources for Windows.
set(QUORIX_GTEST_SOURCE /usr/src/googletest)
if(EXISTS ${QUORIX_GTEST_SOURCE}/CMakeLists.txt)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${QUORIX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  target_compile_options(gtest PRIVATE -w)
  add_executable(quorix_win_tests tests/message_sequence.cpp tests/program_messages_test.cpp
                 tests/windows/accessibility_test.cpp tests/windows/device_paths_test.cpp tests/windows/test_main.cpp
                 resources/quorix.rc)
  target_link_libraries(quorix_win_tests PRIVATE quorix_app gtest)
  add_test(NAME windows_messages COMMAND bash ${QUORIX_WIN_TESTS}/unit_tests.sh $<TARGET_FILE:quorix_win_tests>)
  list(APPEND QUORIX_WINE_EXTRA windows_messages)
endif()
set(QUORIX_WINE_TESTS windows_headless windows_differential windows_window windows_installer ${QUORIX_WINE_EXTRA})
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)
set_tests_properties(${QUORIX_WINE_TESTS} PROPERTIES FIXTURES_REQUIRED wine)
# They show windows titled Quorix V3.12 on the run's display, or (the headless runs) windows a
# second start or quorix-send would find in the same wineserver session: one at a time.
set_tests_properties(windows_window windows_differential windows_headless ${QUORIX_WINE_EXTRA}
  PROPERTIES RESOURCE_LOCK quorix_wine_window)
set_tests_properties(wine_prefix wine_stop ${QUORIX_WINE_TESTS} PROPERTIES
  SKIP_RETURN_CODE 77 TIMEOUT 600 ENVIRONMENT "${QUORIX_WIN_ENV}")
