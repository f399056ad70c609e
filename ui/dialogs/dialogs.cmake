# The dialogs and tool windows opened from the main window: add domains,
# modify a domain (with the web-page shortcuts), export settings, help centre.
# Included by ui/CMakeLists.txt inside its WIN32 block.
include(${CMAKE_CURRENT_LIST_DIR}/dialogs_core.cmake)

add_library(dvx_dialogs STATIC
  ${CMAKE_CURRENT_LIST_DIR}/tool_window_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/process_launcher_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/add_domains_dialog_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/modify_domain_dialog_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/export_dialog_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/help_centre_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/find_box_win.cpp
)
target_link_libraries(dvx_dialogs PUBLIC dvx_uidlg_core dvx_winbase dvx_uicore dvx_startup comctl32 gdi32 user32)

# Real windows under Wine, driven with messages.
dvx_add_test(dvx_dialogs_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tests/win/dialog_test_support_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/win/add_modify_test_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/win/export_test_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/win/help_centre_test_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tests/win/process_launcher_test_win.cpp
  LIBS dvx_dialogs TIMEOUT 300)
target_link_options(dvx_dialogs_tests PRIVATE -mconsole)

# Each dialog opened in turn, and pictures of windows: for the screenshots
# below and the layout check at 144 DPI (app/tests/win).
add_library(dvx_dialog_tour STATIC
  ${CMAKE_CURRENT_LIST_DIR}/tests/win/dialog_tour_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/win/window_picture_win.cpp
)
target_link_libraries(dvx_dialog_tour PUBLIC dvx_dialogs)

# Saves a picture of each window for docs/screenshots; not a test, built on
# demand: ui/dialogs/tests/win/dialog_screenshots.sh <exe> docs/screenshots
add_executable(dvx_dialogs_shots EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/tests/win/screenshots_win.cpp)
target_link_libraries(dvx_dialogs_shots PRIVATE dvx_dialog_tour)
target_link_options(dvx_dialogs_shots PRIVATE -static -mwindows -municode)
