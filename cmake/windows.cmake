# The Windows build: a static GUI program and GoogleTest programs that ctest runs
# through Wine. The cross-built dependencies come from scripts/build-deps.sh.
set(TUNORA_GTEST_DIR "" CACHE PATH "GoogleTest cross-built for i686-w64-mingw32")
set(TUNORA_JPEG_DIR "" CACHE PATH "libjpeg-turbo cross-built for i686-w64-mingw32")
set(TUNORA_FFMPEG_DIR "" CACHE PATH "FFmpeg cross-built for i686-w64-mingw32")
foreach(dir TUNORA_GTEST_DIR TUNORA_JPEG_DIR TUNORA_FFMPEG_DIR)
  if(NOT EXISTS "${${dir}}/include")
    message(FATAL_ERROR "${dir} is not set to a built dependency; build through 'make'")
  endif()
endforeach()

add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
add_compile_options(-Wno-cast-function-type)
# A write past a buffer on the stack, or through a checked string or memory call, ends
# the program with a report instead of letting it run on with what the write broke.
add_compile_options(-fstack-protector-strong)
add_link_options(-fstack-protector-strong)  # brings in the protector's runtime
add_compile_definitions(_FORTIFY_SOURCE=2)
# The same source gives the same program wherever it is built: no build path in it.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=)
add_link_options(-static -static-libgcc -static-libstdc++)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

add_library(jpeg_static STATIC IMPORTED)
set_target_properties(jpeg_static PROPERTIES
  IMPORTED_LOCATION "${TUNORA_JPEG_DIR}/lib/libjpeg.a"
  INTERFACE_INCLUDE_DIRECTORIES "${TUNORA_JPEG_DIR}/include")

set(GTest_DIR "${TUNORA_GTEST_DIR}/lib/cmake/GTest")
find_package(GTest CONFIG REQUIRED)
set(TUNORA_RES_DIR ${CMAKE_BINARY_DIR}/res)  # the pictures drawn at build time

# The version a build shows in its properties: VERSION, and for a build that is not the
# tagged release, what `git describe` says of its commit.
set(TUNORA_VERSION_TEXT ${PROJECT_VERSION})
execute_process(COMMAND git describe --tags --exact-match --match v${PROJECT_VERSION}
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} RESULT_VARIABLE tagged OUTPUT_QUIET ERROR_QUIET)
if(NOT tagged EQUAL 0)
  execute_process(COMMAND git describe --always --dirty WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    OUTPUT_VARIABLE described OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(described)
    set(TUNORA_VERSION_TEXT ${PROJECT_VERSION}-${described})
  endif()
endif()
configure_file(${CMAKE_SOURCE_DIR}/res/version.h.in ${TUNORA_RES_DIR}/version.h @ONLY)
file(WRITE ${CMAKE_BINARY_DIR}/version.txt "${TUNORA_VERSION_TEXT}\n")
