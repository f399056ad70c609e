# Window-free parts of the dialogs: the command lines of the outside programs
# (web-page shortcuts, the export in Notepad) and the help-centre texts.
# Both builds; the Windows dialogs link it.
if(NOT TARGET dvx_uidlg_core)
  add_library(dvx_uidlg_core STATIC
    ${CMAKE_CURRENT_LIST_DIR}/command_line.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shortcuts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/help_texts.cpp
  )
  target_include_directories(dvx_uidlg_core PUBLIC ${PROJECT_SOURCE_DIR})

  dvx_add_test(dvx_uidlg_core_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/tests/core/shortcuts_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/core/command_line_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/core/help_texts_test.cpp
    LIBS dvx_uidlg_core)
endif()
