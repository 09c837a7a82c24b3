# Cross build for 32-bit Windows in the platform's own C++ ABI: clang in its
# Windows mode, lld-link, llvm-rc, with the C runtime and Windows headers and
# the import libraries that Wine's development package ships. There is no C++
# standard library for this target: the modules use the framework's classes.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(LDX_MSVC_ABI ON)
set(LDX_MSVC_TRIPLE i686-pc-windows-msvc)

find_program(LDX_CLANG NAMES clang-14 clang REQUIRED)
find_program(LDX_CLANGXX NAMES clang++-14 clang++ REQUIRED)
find_program(LDX_LLVM_RC NAMES llvm-rc-14 llvm-rc REQUIRED)
find_program(LDX_LLVM_DLLTOOL NAMES llvm-dlltool-14 llvm-dlltool REQUIRED)
find_program(LDX_LLVM_READOBJ NAMES llvm-readobj-14 llvm-readobj REQUIRED)
set(CMAKE_C_COMPILER ${LDX_CLANG})
set(CMAKE_CXX_COMPILER ${LDX_CLANGXX})
set(CMAKE_RC_COMPILER ${LDX_LLVM_RC})
set(CMAKE_C_COMPILER_TARGET ${LDX_MSVC_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${LDX_MSVC_TRIPLE})

set(LDX_WINE_INCLUDE /usr/include/wine/wine CACHE PATH "Wine's header folders (msvcrt/, windows/)")
set(LDX_WINE_LIBS /usr/lib/i386-linux-gnu/wine/i386-windows CACHE PATH "Wine's i386 PE import libraries")

# Wine's winnt.h defines the 64-bit and pointer interlocked functions that
# clang has as builtins; renamed, its inline definitions no longer collide
# with them.
set(ldx_renames "")
foreach(fn _InterlockedAnd64 _InterlockedCompareExchange64 _InterlockedDecrement64
           _InterlockedExchange64 _InterlockedExchangeAdd64 _InterlockedIncrement64
           _InterlockedOr64 _InterlockedXor64
           _InterlockedCompareExchangePointer _InterlockedExchangePointer)
  string(APPEND ldx_renames " -D${fn}=wine${fn}")
endforeach()

set(ldx_common "-fms-extensions -fms-compatibility -fno-stack-protector -fuse-ld=lld \
-nostdinc -isystem ${LDX_WINE_INCLUDE}/msvcrt -isystem ${LDX_WINE_INCLUDE}/windows \
-Wno-inconsistent-missing-override -D_MSVCR_VER=0 -D_CRT_SECURE_NO_WARNINGS -DWINE_NO_NAMELESS_EXTENSION${ldx_renames}")
execute_process(COMMAND ${LDX_CLANG} --target=${LDX_MSVC_TRIPLE} -print-resource-dir
                OUTPUT_VARIABLE ldx_resource_dir OUTPUT_STRIP_TRAILING_WHITESPACE)
string(APPEND ldx_common " -isystem ${ldx_resource_dir}/include")
set(CMAKE_C_FLAGS_INIT "${ldx_common}")
set(CMAKE_CXX_FLAGS_INIT "${ldx_common}")
# _MSVCR_VER=0 picks msvcrt.dll's functions in Wine's headers, not those of
# the later runtimes. ntdll.dll has the 64-bit arithmetic helpers.
# lld-link looks for NAME.lib: the build tree gets a folder that names
# Wine's import libraries (libNAME.a) so. The C runtime is named on the
# command line; none of the defaults of the platform's own toolset exists.
set(LDX_MSVC_LIBDIR ${CMAKE_BINARY_DIR}/msvc-libs)
if(NOT EXISTS ${LDX_MSVC_LIBDIR}/kernel32.lib)
  file(MAKE_DIRECTORY ${LDX_MSVC_LIBDIR})
  file(GLOB ldx_wine_libs ${LDX_WINE_LIBS}/lib*.a)
  foreach(lib IN LISTS ldx_wine_libs)
    get_filename_component(name ${lib} NAME_WE)
    string(REGEX REPLACE "^lib" "" name ${name})
    file(CREATE_LINK ${lib} ${LDX_MSVC_LIBDIR}/${name}.lib SYMBOLIC)
  endforeach()
endif()
# A module names its debug information by file name only, so that no path
# of the build tree goes into the modules a package ships.
set(ldx_link "-Wno-unused-command-line-argument -fuse-ld=lld -nostdlib -Wl,/nodefaultlib -Wl,/safeseh:no -Wl,/libpath:${LDX_MSVC_LIBDIR} -Wl,/pdbaltpath:%_PDB%")
set(CMAKE_C_STANDARD_LIBRARIES "-lkernel32 -lmsvcrt -lntdll" CACHE STRING "Libraries every module links")
set(CMAKE_CXX_STANDARD_LIBRARIES "-lkernel32 -lmsvcrt -lntdll" CACHE STRING "Libraries every module links")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${ldx_link}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${ldx_link}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${ldx_link}")
set(CMAKE_RC_FLAGS_INIT "-I${LDX_WINE_INCLUDE}/windows -I${LDX_WINE_INCLUDE}/msvcrt")

set(CMAKE_USER_MAKE_RULES_OVERRIDE ${CMAKE_CURRENT_LIST_DIR}/msvc-rules.cmake)

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# What the export and import checks of this flavour read modules with.
find_program(LDX_LLVM_NM NAMES llvm-nm-14 llvm-nm REQUIRED)
find_program(LDX_LLVM_CXXFILT NAMES llvm-cxxfilt-14 llvm-cxxfilt REQUIRED)
find_program(LDX_LLVM_UNDNAME NAMES llvm-undname-14 llvm-undname REQUIRED)
