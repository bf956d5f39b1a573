# The native build: the portable rules and their unit tests, under ASan and UBSan.
add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_link_options(-fsanitize=address,undefined)
find_package(GTest REQUIRED)
find_package(JPEG REQUIRED)
add_library(jpeg_static INTERFACE)
target_link_libraries(jpeg_static INTERFACE JPEG::JPEG)

# The Windows tests join this build's test list, so that one ctest run reports on all.
set(TUNORA_WIN32_BUILD_DIR "" CACHE PATH "the Windows build whose tests ctest runs too")
if(TUNORA_WIN32_BUILD_DIR)
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${TUNORA_WIN32_BUILD_DIR}/tests/CTestTestfile.cmake")
endif()
