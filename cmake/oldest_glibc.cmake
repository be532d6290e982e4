# The plain Linux build makes what the release ships: a module and programs
# that run on systems as old as glibc 2.31 with GCC 10's C++ runtime (Debian
# 11, Ubuntu 20.04), although they are built on a newer one. Every object is
# compiled with platform/posix/oldest_glibc/symbol_versions.h first, which
# binds the calls whose newest version is younger to their old versions; the
# calls that have none are defined in old_calls.cpp, linked into each binary
# that ships. Older glibc keeps dlopen and its kin in libdl and the thread
# calls in libpthread, so the binaries name those libraries too (on a newer
# glibc they are empty). tests/package/linux/check_symbol_versions.sh checks the result.
set(MOSSGRAIN_OLDEST_GLIBC OFF)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64"
   AND NOT MOSSGRAIN_SANITIZE AND NOT MOSSGRAIN_FUZZ)
  set(MOSSGRAIN_OLDEST_GLIBC ON)
  set(floor_dir ${PROJECT_SOURCE_DIR}/platform/posix/oldest_glibc)
  add_compile_options("SHELL:-include ${floor_dir}/symbol_versions.h")
  add_library(mossgrain_old_calls OBJECT ${floor_dir}/old_calls.cpp)
  add_library(mossgrain_old_start OBJECT ${floor_dir}/start_main.cpp)
endif()

# What a binary needs for the oldest system: the old calls (C++; a plain C
# binary that needs none says C_ONLY), the libraries that held them there,
# and for a program the old start.
function(mossgrain_runs_on_oldest_glibc target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "C_ONLY" "" "")
  if(NOT MOSSGRAIN_OLDEST_GLIBC)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(NOT arg_C_ONLY)
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:mossgrain_old_calls>)
  endif()
  target_link_options(${target} PRIVATE
    "LINKER:--push-state,--no-as-needed" "LINKER:-l:libdl.so.2" "LINKER:-l:libpthread.so.0"
    "LINKER:--pop-state")
  if(type STREQUAL "EXECUTABLE")
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:mossgrain_old_start>)
    target_link_options(${target} PRIVATE "LINKER:--wrap=__libc_start_main")
  endif()
endfunction()
