# SPDX-License-Identifier: GPL-3.0-or-later
# Initial cache of the sanitizer build (make test-sanitize): AddressSanitizer and
# UndefinedBehaviorSanitizer on everything, the first report fatal, at -O1 with debug information.
#   cmake -C cmake/sanitize.cmake -S . -B build-sanitize
set(ZELBO_SANITIZE_FLAGS "-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer")
set(CMAKE_BUILD_TYPE Sanitize CACHE STRING "")
# GCC at -O1 with the sanitizers takes the benchmark's counting operator delete, which frees what
# its operator new took from malloc, for a mismatched pair; the optimised build checks that pairing.
set(CMAKE_CXX_FLAGS_SANITIZE "-O1 -g ${ZELBO_SANITIZE_FLAGS} -Wno-mismatched-new-delete" CACHE STRING "")
set(CMAKE_C_FLAGS_SANITIZE "-O1 -g ${ZELBO_SANITIZE_FLAGS}" CACHE STRING "")
set(CMAKE_EXE_LINKER_FLAGS_SANITIZE "${ZELBO_SANITIZE_FLAGS}" CACHE STRING "")
set(CMAKE_SHARED_LINKER_FLAGS_SANITIZE "${ZELBO_SANITIZE_FLAGS}" CACHE STRING "")
