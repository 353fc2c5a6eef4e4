# Pictures, sounds and movies, the background textures, the Options window and the start link.
target_sources(orvella_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/jpeg_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/month_media.cpp
  ${CMAKE_CURRENT_LIST_DIR}/start_link.cpp
  ${CMAKE_CURRENT_LIST_DIR}/autostart_options.cpp
)
