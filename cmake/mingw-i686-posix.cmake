# The same cross build with the posix thread model, whose libstdc++ has std::mutex and
# std::condition_variable: GoogleTest needs them on Windows, the win32 model lacks them.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
