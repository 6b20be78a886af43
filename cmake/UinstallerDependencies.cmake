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
