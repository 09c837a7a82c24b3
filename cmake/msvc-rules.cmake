# Read after CMake's platform rules for clang in the Windows ABI: libraries
# named without a path reach lld-link through the driver's -l, which searches
# the import library folder the toolchain file sets up.
set(CMAKE_LINK_LIBRARY_FLAG "-l")
