# Compiler settings shared by every target of the project, and the helper that declares a
# library of the layered tree (support, platform, package, core, ...).

# Warnings are errors on both toolchains; third-party code (GoogleTest) is built without them
# because they are attached to our targets only.
add_library(uinstaller_warnings INTERFACE)
target_compile_options(uinstaller_warnings INTERFACE
  -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused -Woverloaded-virtual
  -Wimplicit-fallthrough -Werror)

# GCC 12 at -O2 and above reports impossible overlapping copies inside libstdc++'s
# basic_string (concatenating a literal and a string); the warning is wrong there (fixed in
# GCC 13), and as an error it would reject correct code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(uinstaller_warnings INTERFACE -Wno-restrict)
endif()

add_library(uinstaller_options INTERFACE)
target_link_libraries(uinstaller_options INTERFACE uinstaller_warnings)
target_include_directories(uinstaller_options INTERFACE ${PROJECT_SOURCE_DIR})

if(WIN32)
  # UNICODE selects the W entry points; the minimum version unlocks the Vista+ APIs we call
  # (SetDefaultDllDirectories and friends) without dynamic lookups.
  target_compile_definitions(uinstaller_options INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # One self-contained executable: no libstdc++/winpthread DLLs beside it.
  target_link_options(uinstaller_options INTERFACE -static)
endif()

# For Windows programs whose entry is wmain or wWinMain (the test programs keep GoogleTest's
# main).
add_library(uinstaller_unicode_entry INTERFACE)
if(WIN32)
  target_link_options(uinstaller_unicode_entry INTERFACE -municode)
endif()

if(UINSTALLER_SANITIZE)
  set(sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
  add_compile_options(${sanitizer_flags})
  add_link_options(${sanitizer_flags})
endif()

if(UINSTALLER_FUZZ)
  # Every library is instrumented for coverage; only the fuzz executables get the libFuzzer main.
  set(fuzz_flags -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
  add_compile_options(${fuzz_flags})
  add_link_options(-fsanitize=address,undefined)
endif()

# The platform layer is one interface per service with a Windows and a POSIX implementation,
# picked here by file suffix rather than by #ifdef inside the sources.
if(WIN32)
  set(UINSTALLER_PLATFORM_SUFFIX win)
else()
  set(UINSTALLER_PLATFORM_SUFFIX posix)
endif()

# uinstaller_platform_sources(<out-var> <name>...): the portable part (if any) and the
# implementation for this platform of each named platform module.
function(uinstaller_platform_sources out_var)
  set(sources)
  foreach(name IN LISTS ARGN)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${name}.cpp)
      list(APPEND sources ${name}.cpp)
    endif()
    list(APPEND sources ${name}_${UINSTALLER_PLATFORM_SUFFIX}.cpp)
  endforeach()
  set(${out_var} ${sources} PARENT_SCOPE)
endfunction()
