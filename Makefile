# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands of the README, `make run` and `make test`, and the checks that CI adds:
# `make test-sanitize` (every test under AddressSanitizer and UndefinedBehaviorSanitizer) and
# `make fuzz` (each fuzz target for FUZZ_SECONDS).
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
ifeq ($(CI),true)
  CMAKE_FLAGS += -DZELBO_WERROR=ON
endif

PACKAGE_BUILD ?= build-package
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = $(notdir $(basename $(wildcard fuzz/*_fuzzer.cpp)))

# How the sanitizers report, with the suppressions of what Qt and the system libraries do.
SANITIZER_ENV = \
  ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/cmake/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=suppressions=$(CURDIR)/cmake/ubsan.supp:print_stacktrace=1:halt_on_error=1

.PHONY: all bootstrap configure build run test test-sanitize fuzz-build fuzz package

all: build

bootstrap:
	./scripts/bootstrap

configure: bootstrap
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/zelbo

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole project, tests included, built and tested with the sanitizers. The tests' discovery
# runs the test programs while building, so the build too runs with the sanitizers' settings.
test-sanitize: bootstrap
	cmake -C cmake/sanitize.cmake -S . -B $(SANITIZE_BUILD) $(CMAKE_FLAGS)
	$(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && $(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen \
	  ctest --output-on-failure -j $(JOBS)

# The fuzz targets (libFuzzer, clang), with the sanitizers on the whole library.
fuzz-build: bootstrap
	CC=clang CXX=clang++ cmake -C cmake/fuzz.cmake -S . -B $(FUZZ_BUILD) $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target zelbo_fuzzers

# Each target for FUZZ_SECONDS on a working copy of its seed corpus, so that what it finds stays
# in the build folder; a failing input is left in $(FUZZ_BUILD)/findings/TARGET/.
fuzz: fuzz-build
	$(SANITIZER_ENV) ./scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# The Debian package: the two programs built with Debian's hardening flags in $(PACKAGE_BUILD),
# installed under /usr with the programs in /usr/games, stripped, then judged by lintian when it
# is installed (an error fails the target). The package is left in $(PACKAGE_BUILD)/.
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
package: bootstrap
	CXXFLAGS="$$($(DEB_FLAGS) CXXFLAGS) $$($(DEB_FLAGS) CPPFLAGS)" \
	LDFLAGS="$$($(DEB_FLAGS) LDFLAGS)" \
	  cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELBO_BENCH=OFF \
	    -DZELBO_INSTALL_BINDIR=games -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON $(CMAKE_FLAGS)
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target zelbo zelbo-cli zelbo_share zelbo_tables
	cd $(PACKAGE_BUILD) && cpack
	if command -v lintian >/dev/null; then lintian $(PACKAGE_BUILD)/zelbo_*.deb; fi
