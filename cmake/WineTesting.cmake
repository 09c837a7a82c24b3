# Runs the Windows test executables through Wine in a prefix inside the build
# tree, and puts the compiler's runtime DLLs beside them. All modules share
# one C++ runtime, so framework exceptions can cross module boundaries.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(LDX_WINEARCH win64)
  set(LDX_WINE_LOADER /usr/lib/wine/wine64)
  set(LDX_GCC_RUNTIME libgcc_s_seh-1.dll)
else()
  set(LDX_WINEARCH win32)
  set(LDX_WINE_LOADER /usr/lib/wine/wine)
  set(LDX_GCC_RUNTIME libgcc_s_dw2-1.dll)
endif()
# The 64-bit server serves both kinds of program; under the emulator it
# runs natively while the 32-bit programs are emulated.
set(LDX_WINESERVER /usr/lib/wine/wineserver64)
set(LDX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(LDX_SOURCE_DIR ${CMAKE_SOURCE_DIR})
# wine-run runs one program; wine-session keeps Wine warm around a command
# that runs many (ctest, the main job).
foreach(script wine-run wine-session)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/${script}.in ${CMAKE_BINARY_DIR}/${script} @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

add_compile_options(-Wall -Wextra -Wno-unused-parameter)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
if(LDX_MSVC_ABI)
  # The Windows-ABI flavour needs msvcrt.dll and the system only.
  set(LDX_RUNTIME_DLLS)
  return()
endif()
add_link_options(-shared-libgcc)

# The compiler's runtime DLLs that every module links against; a host ships
# them next to its executable.
set(LDX_RUNTIME_DLLS ${LDX_GCC_RUNTIME} libstdc++-6.dll libwinpthread-1.dll)
foreach(dll IN LISTS LDX_RUNTIME_DLLS)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT EXISTS "${dll_path}")
    find_file(dll_path_found ${dll} PATHS /usr/${LDX_MINGW_TRIPLE}/lib NO_DEFAULT_PATH NO_CACHE)
    set(dll_path ${dll_path_found})
  endif()
  if(NOT EXISTS "${dll_path}")
    message(FATAL_ERROR "runtime DLL ${dll} not found")
  endif()
  file(COPY ${dll_path} DESTINATION ${CMAKE_BINARY_DIR}/bin)
endforeach()
