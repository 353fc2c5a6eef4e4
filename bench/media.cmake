# Pictures and the ticker's list; the JPEG files are made with the tests' encoder.
target_sources(orvella_bench PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/media_bench.cpp
  ${CMAKE_SOURCE_DIR}/tests/app/jpeg_test_util.cpp
)
target_include_directories(orvella_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
