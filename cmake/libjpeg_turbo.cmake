# libjpeg-turbo, the JPEG decoder that can decode at 1/2, 1/4 and 1/8 of the size, as pintaro::jpeg.
# - MinGW builds compile it from the distribution's source package, which scripts/setup.sh fetches
#   into build/third_party/libjpeg-turbo (apt checks its signature; the tarball's hash is pinned
#   here), once per build folder, with its SIMD code, as a static library.
# - Native builds (the Win32-free logic, its tests and fuzzers) use the distribution's own library.
# - MSVC uses vcpkg's static library.
# Nothing of libjpeg-turbo lies in the source tree.
add_library(pintaro_jpeg INTERFACE)
add_library(pintaro::jpeg ALIAS pintaro_jpeg)

if(MSVC)
  find_package(libjpeg-turbo CONFIG)
  if(NOT TARGET libjpeg-turbo::jpeg-static)
    message(FATAL_ERROR "libjpeg-turbo's static library was not found. Install it with vcpkg "
                        "(vcpkg install libjpeg-turbo:x64-windows-static-md) and configure with "
                        "-DCMAKE_TOOLCHAIN_FILE=<vcpkg>/scripts/buildsystems/vcpkg.cmake")
  endif()
  target_link_libraries(pintaro_jpeg INTERFACE libjpeg-turbo::jpeg-static)
elseif(WIN32)
  # Debian 12's libjpeg-turbo 2.1.5. Debian's patches are left out: they touch its packaging (build
  # date, rpath, a manual page) and, for the SIMD code, one decoder started on one thread and read on
  # another, which the program never does (each picture is decoded from start to end in one call).
  set(PINTARO_LIBJPEG_TURBO_TARBALL
      "${CMAKE_SOURCE_DIR}/build/third_party/libjpeg-turbo/libjpeg-turbo_2.1.5.orig.tar.gz"
      CACHE FILEPATH "libjpeg-turbo 2.1.5's original source tarball")
  set(pintaro_libjpeg_turbo_sha256 254f3642b04e309fee775123133c6464181addc150499561020312ec61c1bf7c)
  if(NOT EXISTS "${PINTARO_LIBJPEG_TURBO_TARBALL}")
    message(FATAL_ERROR "${PINTARO_LIBJPEG_TURBO_TARBALL} is missing: scripts/setup.sh fetches it with "
                        "apt-get source --download-only libjpeg-turbo, from a distribution that has 2.1.5 "
                        "(Debian 12, Ubuntu 24.04)")
  endif()

  include(ExternalProject)
  set(prefix ${CMAKE_BINARY_DIR}/third_party/libjpeg-turbo)
  set(library ${prefix}/lib/libjpeg.a)
  # The include folder is named by the target before the build fills it, so it must exist already.
  file(MAKE_DIRECTORY ${prefix}/include ${prefix}/lib)
  ExternalProject_Add(libjpeg_turbo
    URL "${PINTARO_LIBJPEG_TURBO_TARBALL}"
    URL_HASH SHA256=${pintaro_libjpeg_turbo_sha256}
    DOWNLOAD_EXTRACT_TIMESTAMP OFF
    PREFIX ${prefix}
    # An install prefix of the host: its default, C:/libjpeg-turbo-gcc64, is no path here.
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
               -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DREQUIRE_SIMD=ON
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target jpeg-static
    # Only the library and the four headers a program includes.
    INSTALL_COMMAND ${CMAKE_COMMAND} -E copy <SOURCE_DIR>/jpeglib.h <SOURCE_DIR>/jmorecfg.h <SOURCE_DIR>/jerror.h
                                              <BINARY_DIR>/jconfig.h ${prefix}/include
            COMMAND ${CMAKE_COMMAND} -E copy <BINARY_DIR>/libjpeg.a ${library}
    BUILD_BYPRODUCTS ${library}
    LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON LOG_OUTPUT_ON_FAILURE ON)

  add_library(pintaro_jpeg_static STATIC IMPORTED GLOBAL)
  set_target_properties(pintaro_jpeg_static PROPERTIES IMPORTED_LOCATION ${library}
                                                       INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include)
  add_dependencies(pintaro_jpeg_static libjpeg_turbo)
  target_link_libraries(pintaro_jpeg INTERFACE pintaro_jpeg_static)
else()
  find_package(JPEG)
  if(NOT JPEG_FOUND)
    message(FATAL_ERROR "libjpeg-turbo's headers were not found: install libjpeg62-turbo-dev (scripts/setup.sh)")
  endif()
  target_link_libraries(pintaro_jpeg INTERFACE JPEG::JPEG)
endif()
