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
