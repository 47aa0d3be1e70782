# Cross-build for Windows with mingw-w64; the results run under Wine.
# -DTOOFEL_ARCH=x86_64 (the default) builds for 64-bit Windows, i686 for 32-bit.
# The win32 thread model keeps the runtime free of imports that Windows XP lacks.
if(NOT TOOFEL_ARCH)
  set(TOOFEL_ARCH x86_64)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TOOFEL_ARCH)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TOOFEL_ARCH})
set(CMAKE_C_COMPILER ${TOOFEL_ARCH}-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER ${TOOFEL_ARCH}-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER ${TOOFEL_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOFEL_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
