# Project-wide compile settings: strict warnings for our own code only,
# and the optional sanitizer builds.

# Warnings are errors in the project's own targets. Dependency headers come in
# through imported targets or system include paths, so they are not affected.
function(qrv_target_defaults target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  endif()
endfunction()

# 'address' builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# 'thread' with ThreadSanitizer.
function(qrv_apply_sanitizer kind)
  if(kind STREQUAL "")
    return()
  elseif(kind STREQUAL "address")
    set(flags -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  elseif(kind STREQUAL "thread")
    set(flags -fsanitize=thread -fno-omit-frame-pointer)
  else()
    message(FATAL_ERROR "QRV_SANITIZE must be empty, 'address' or 'thread', not '${kind}'")
  endif()
  add_compile_options(${flags})
  add_link_options(${flags})
endfunction()

# The fuzzing build: every library with libFuzzer's coverage and
# AddressSanitizer+UndefinedBehaviorSanitizer, which only clang offers.
function(qrv_apply_fuzzing)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QRV_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang)")
  endif()
  qrv_apply_sanitizer(address)
  add_compile_options(-fsanitize=fuzzer-no-link)
endfunction()

# Linux programs are linked by lld where the compiler can use it: it links
# them several times faster than the default linker, and every tree links
# some twenty test programs. QRV_LLD=OFF keeps the default linker.
function(qrv_apply_linker)
  if(WIN32 OR NOT QRV_LLD)
    return()
  endif()
  include(CheckLinkerFlag)
  check_linker_flag(CXX -fuse-ld=lld QRV_HAVE_LLD)
  if(QRV_HAVE_LLD)
    add_link_options(-fuse-ld=lld)
  endif()
endfunction()

# qrv_library(NAME TYPE SOURCES... [DEPS targets...])
# One folder's library: warnings as errors, the tree's root as its include
# directory, and the libraries of the layers below it that it may use.
function(qrv_library name type)
  cmake_parse_arguments(L "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} ${type} ${L_SOURCES})
  qrv_target_defaults(${name})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_DEPS})
endfunction()
