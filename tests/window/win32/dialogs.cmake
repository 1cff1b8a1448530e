# The tests of window/win32/dialogs.cmake's library, Windows only.
varnok_win32_tests(window_win32_dialog_tests window
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/message_presenter_win32_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shown_dialogs_win32_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_dialog_win32_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/popup_menu_win32_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wait_cursor_win32_test.cpp
  DEPS varnok_window_win32_dialogs)
