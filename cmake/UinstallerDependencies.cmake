# Finds the libraries the product calls. On Linux they are Debian's packages; for Windows they
# are the static builds that scripts/bootstrap.sh cross-compiles from Debian's source packages
# into the cache that the toolchain file adds to the search path.

find_package(LibLZMA REQUIRED)
find_package(ZLIB REQUIRED)

if(NOT WIN32)
  # MD5 comes from the platform's cryptographic service on Windows; the host uses nettle.
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(NETTLE REQUIRED IMPORTED_TARGET nettle)
endif()

# minizip writes the backup archives: Debian's libminizip-dev on Linux, the bootstrap's static
# build (headers under include/minizip) for Windows. Code includes <minizip/zip.h> on both.
if(WIN32)
  find_path(MINIZIP_INCLUDE_DIR minizip/zip.h REQUIRED)
  find_library(MINIZIP_LIBRARY NAMES libminizip.a minizip REQUIRED)
  add_library(Minizip::Minizip STATIC IMPORTED)
  set_target_properties(Minizip::Minizip PROPERTIES
    IMPORTED_LOCATION ${MINIZIP_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${MINIZIP_INCLUDE_DIR}
    INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
else()
  pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
  add_library(Minizip::Minizip ALIAS PkgConfig::MINIZIP)
endif()
