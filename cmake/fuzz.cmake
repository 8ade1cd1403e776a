# SPDX-License-Identifier: GPL-3.0-or-later
# Initial cache of the fuzzing build (make fuzz-build), with CC=clang CXX=clang++: the fuzz targets
# of fuzz/, everything instrumented for libFuzzer's coverage and with AddressSanitizer and
# UndefinedBehaviorSanitizer, the first report fatal.
#   CC=clang CXX=clang++ cmake -C cmake/fuzz.cmake -S . -B build-fuzz
set(ZELBO_FUZZ_FLAGS "-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer")
set(CMAKE_BUILD_TYPE Fuzz CACHE STRING "")
set(CMAKE_CXX_FLAGS_FUZZ "-O1 -g ${ZELBO_FUZZ_FLAGS}" CACHE STRING "")
set(CMAKE_C_FLAGS_FUZZ "-O1 -g ${ZELBO_FUZZ_FLAGS}" CACHE STRING "")
set(CMAKE_EXE_LINKER_FLAGS_FUZZ "-fsanitize=address,undefined" CACHE STRING "")
set(CMAKE_SHARED_LINKER_FLAGS_FUZZ "-fsanitize=address,undefined" CACHE STRING "")
set(ZELBO_FUZZ ON CACHE BOOL "")
set(ZELBO_BENCH OFF CACHE BOOL "")
