# What both MinGW-w64 cross builds share; the including toolchain file sets
# CMAKE_SYSTEM_PROCESSOR and MINGW_TRIPLE first. The posix thread model is
# needed for std::thread (the stand-in host answers dialogs from a second
# thread). Tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${MINGW_TRIPLE}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(MOSSGRAIN_WINE wine)
if(MOSSGRAIN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MOSSGRAIN_WINE})
endif()
