# Tests of the pictures, media, Options and start link.
target_sources(orvella_core_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/jpeg_test_util.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jpeg_decoder_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork_list_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_layout_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/month_media_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/start_link_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/autostart_options_test.cpp
)
orvella_ui_test(option_dlg_test ${CMAKE_CURRENT_LIST_DIR}/option_dlg_test.cpp)
orvella_ui_test(month_media_player_test ${CMAKE_CURRENT_LIST_DIR}/month_media_player_test.cpp)
orvella_ui_test(picture_windows_test ${CMAKE_CURRENT_LIST_DIR}/picture_windows_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jpeg_test_util.cpp)
target_compile_definitions(picture_windows_test PRIVATE ORVELLA_ASSETS_DIR="${CMAKE_SOURCE_DIR}/assets/program")
orvella_ui_test(main_form_media_test ${CMAKE_CURRENT_LIST_DIR}/main_form_media_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jpeg_test_util.cpp)
