# Third-party libraries, all from Debian's packages.
#  - libpng: Debian's libpng-dev natively; for MinGW the static build that
#    scripts/build_mingw_libpng.sh makes from Debian's libpng source package.
#    The fuzz preset uses the instrumented build of scripts/build_fuzz_libpng.sh
#    when it exists.
#  - GoogleTest: compiled from Debian's sources in /usr/src/googletest, so the
#    same tests build natively and with the MinGW cross compiler.
if(WIN32)
  set(VESK_MINGW_DEPS "${CMAKE_SOURCE_DIR}/build/deps/mingw" CACHE PATH "Prefix of the MinGW libpng build")
  find_library(PNG_LIBRARY NAMES png16 png PATHS "${VESK_MINGW_DEPS}/lib" NO_DEFAULT_PATH REQUIRED)
  find_path(PNG_PNG_INCLUDE_DIR png.h PATHS "${VESK_MINGW_DEPS}/include" NO_DEFAULT_PATH REQUIRED)
  # The static archive first: "z" alone would pick the import library libz.dll.a.
  find_library(ZLIB_LIBRARY NAMES libz.a z zlib PATHS /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH REQUIRED)
  add_library(vesk_png INTERFACE)
  target_include_directories(vesk_png INTERFACE "${PNG_PNG_INCLUDE_DIR}")
  target_link_libraries(vesk_png INTERFACE "${PNG_LIBRARY}" "${ZLIB_LIBRARY}")
elseif(VESK_FUZZ AND EXISTS "${CMAKE_SOURCE_DIR}/build/deps/fuzz/lib/libpng16.a")
  # The fuzz targets link a libpng built with their own instrumentation
  # (scripts/build_fuzz_libpng.sh), so the fuzzer is guided through it too.
  find_package(ZLIB REQUIRED)
  add_library(vesk_png INTERFACE)
  target_include_directories(vesk_png BEFORE INTERFACE "${CMAKE_SOURCE_DIR}/build/deps/fuzz/include")
  target_link_libraries(vesk_png INTERFACE "${CMAKE_SOURCE_DIR}/build/deps/fuzz/lib/libpng16.a" ZLIB::ZLIB m)
  find_package(Freetype REQUIRED)
  find_package(Fontconfig REQUIRED)
else()
  find_package(PNG REQUIRED)
  add_library(vesk_png INTERFACE)
  target_link_libraries(vesk_png INTERFACE PNG::PNG)
  find_package(Freetype REQUIRED)
  find_package(Fontconfig REQUIRED)
endif()

if(VESK_TESTS AND NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
endif()
