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
