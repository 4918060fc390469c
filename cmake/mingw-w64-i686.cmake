# 32-bit cross build: compiled to keep the code honest about sizes; not run
# (Debian's 64-bit Wine cannot start 32-bit programs without wine32).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(RC_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
