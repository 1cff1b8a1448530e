# The message boxes, file dialog, popup menu and wait cursor of the Windows
# window layer: a library of their own, built only for Windows (included
# from window/CMakeLists.txt).
set(VARNOK_WIN32_DIALOG_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/message_presenter_win32.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_dialog_win32.cpp
  ${CMAKE_CURRENT_LIST_DIR}/popup_menu_win32.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wait_cursor_win32.cpp)
add_library(varnok_window_win32_dialogs STATIC ${VARNOK_WIN32_DIALOG_SOURCES})
target_link_libraries(varnok_window_win32_dialogs PUBLIC varnok_window varnok_platform
                      comdlg32 user32 shell32 ole32 uuid)
# The ...W functions by default, and no min/max macros to clash with std::.
target_compile_definitions(varnok_window_win32_dialogs PUBLIC UNICODE _UNICODE NOMINMAX)
