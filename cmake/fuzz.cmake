# The fuzz build: clang's libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer.
# The portable rules get the fuzzer's coverage counters; each target links its driver.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "The fuzz build needs clang (CMAKE_CXX_COMPILER=clang++)")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
find_package(JPEG REQUIRED)
add_library(jpeg_static INTERFACE)
target_link_libraries(jpeg_static INTERFACE JPEG::JPEG)
