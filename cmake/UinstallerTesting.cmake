# GoogleTest from Debian's googletest sources, built with our compiler and flags, and the helper
# that turns a set of *_test.cpp files into one test program per library.
#
# On Linux every test case becomes its own CTest test (fast, sanitized). For Windows the same
# program is cross-built and CTest runs it as one test under Wine through the emulator wrapper:
# starting Wine costs far more than a test case, so one start per program keeps the layer cheap.

set(UINSTALLER_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${UINSTALLER_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

include(GoogleTest)

if(WIN32)
  # Every unit-test program shares one Wine prefix per build tree; the wrapper creates it on
  # first use and stops its wineserver after each run, so the tests take turns (RESOURCE_LOCK).
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${PROJECT_SOURCE_DIR}/scripts/wine/run-under-wine.sh --tree ${CMAKE_BINARY_DIR}/wine)
endif()

# uinstaller_add_unit_tests(<name> SOURCES <file>... LIBRARIES <target>... [WITH_TEST_PACKAGES])
# WITH_TEST_PACKAGES: the program carries the test product's packages as its resources.
function(uinstaller_add_unit_tests name)
  cmake_parse_arguments(arg "WITH_TEST_PACKAGES" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  if(arg_WITH_TEST_PACKAGES AND WIN32)
    target_sources(${name} PRIVATE ${UINSTALLER_TEST_PACKAGES_RC})
    get_filename_component(packages_dir ${UINSTALLER_TEST_PACKAGES_RC} DIRECTORY)
    set_source_files_properties(${UINSTALLER_TEST_PACKAGES_RC} PROPERTIES
      OBJECT_DEPENDS "${packages_dir}/setup.pkg;${packages_dir}/product.pkg")
    add_dependencies(${name} uinstaller_test_packages)
  endif()
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} uinstaller_options GTest::gmock
                                        GTest::gtest_main)
  if(WIN32)
    add_test(NAME wine.${name} COMMAND ${name})
    set_tests_properties(wine.${name} PROPERTIES
      RESOURCE_LOCK wine_unit_prefix TIMEOUT 300 LABELS "wine;unit")
  else()
    gtest_discover_tests(${name} TEST_PREFIX "host." NO_PRETTY_VALUES PROPERTIES LABELS "host;unit"
                         DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
