# Pictures, sounds and movies, the background textures, the Options window and the start link.
target_sources(orvella_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/jpeg_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/artwork_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/month_media.cpp
  ${CMAKE_CURRENT_LIST_DIR}/start_link.cpp
  ${CMAKE_CURRENT_LIST_DIR}/autostart_options.cpp
)
target_sources(orvella_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/picture_loader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/img_holder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/media_device.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt_media_device.cpp
  ${CMAKE_CURRENT_LIST_DIR}/month_media_player.cpp
  ${CMAKE_CURRENT_LIST_DIR}/background_textures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/texture_paint_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/option_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_form_media.cpp
)
