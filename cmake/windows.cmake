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

# Libraries that the start does not need are loaded when first called instead of before
# the first line runs: under Wine the dialogs' library brings the common controls with
# it (their set-up alone is some 20 ms), and the security library sets up every
# authentication package as it loads. tunora_delay_load(NAME) makes
# tunora_delay_NAME, an import library of the same functions with delayed binding,
# from mingw-w64's own import library (the linker takes the loader from libmingwex).
find_program(TUNORA_NM NAMES ${TOOLCHAIN_PREFIX}nm i686-w64-mingw32-nm REQUIRED)
find_program(TUNORA_DLLTOOL NAMES i686-w64-mingw32-dlltool REQUIRED)
function(tunora_delay_load name dll)
  set(lib ${CMAKE_BINARY_DIR}/delay/lib${name}_delay.a)
  if(NOT EXISTS ${lib})
    find_library(import_lib_${name} NAMES lib${name}.a REQUIRED)
    execute_process(COMMAND ${TUNORA_NM} ${import_lib_${name}} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "I __imp__[A-Za-z0-9_@]+" functions "${symbols}")
    list(TRANSFORM functions REPLACE "^I __imp__" "")
    list(REMOVE_DUPLICATES functions)
    list(JOIN functions "\n  " exports)
    file(WRITE ${CMAKE_BINARY_DIR}/delay/${name}.def "LIBRARY ${dll}\nEXPORTS\n  ${exports}\n")
    execute_process(COMMAND ${TUNORA_DLLTOOL} -k --input-def ${CMAKE_BINARY_DIR}/delay/${name}.def
      --dllname ${dll} --output-delaylib ${lib} COMMAND_ERROR_IS_FATAL ANY)
  endif()
  add_library(tunora_delay_${name} STATIC IMPORTED)
  set_target_properties(tunora_delay_${name} PROPERTIES IMPORTED_LOCATION ${lib})
endfunction()
foreach(delayed comdlg32:comdlg32.dll secur32:secur32.dll crypt32:crypt32.dll wininet:wininet.dll ws2_32:ws2_32.dll)
  string(REPLACE ":" ";" delayed ${delayed})
  tunora_delay_load(${delayed})
endforeach()
