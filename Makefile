# SPDX-License-Identifier: GPL-3.0-or-later
# voxrig: `make demo` to try the panel against the simulated receiver,
# `make test` for the whole suite. Both install what is missing first.
SHELL := /bin/bash
JOBS ?= 2
BUILD := build
ASAN_BUILD := build-asan
FUZZ_BUILD := build-fuzz
FUZZ_RUNS ?= 20000
# Each fuzzer stops at FUZZ_RUNS inputs or FUZZ_SECONDS, whichever comes first.
FUZZ_SECONDS ?= 30
FUZZERS := bank reply config panel tools setup

# No sound card on a build machine: SDL's dummy driver still plays each
# prompt for its length, so the receiver's pacing is real.
TEST_ENV := SDL_AUDIODRIVER=dummy \
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: all deps configure build programs install deb build-asan build-fuzz prompts test test-plain test-sanitized fuzz demo bench interop format clean

all: build

deps:
	@tools/install-deps

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j$(JOBS)

# Only the panel and the simulated receiver, not the tests.
programs: configure
	cmake --build $(BUILD) -j$(JOBS) --target voxrig ar8600-sim

# PREFIX and DESTDIR as usual: make install PREFIX=/usr DESTDIR=/tmp/stage
PREFIX ?= /usr/local
install: configure
	cmake --build $(BUILD) -j$(JOBS) --target voxrig ar8600-sim prompt_set compressed_docs
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package, in build/package/.
deb: configure
	cmake --build $(BUILD) -j$(JOBS) --target voxrig ar8600-sim prompt_set compressed_docs
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/package/*.deb

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVOXRIG_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)

build-fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DVOXRIG_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target $(FUZZERS:%=%_fuzz)

# make prompts RATE=<words a minute> VOICE=<espeak-ng voice> PROMPT_LANG=<en|de|es|fr>
# (not LANG, the locale). What is not given stays as wave/ was last made;
# make-prompts remakes only the files whose words, voice or rate changed.
RATE ?=
VOICE ?=
PROMPT_LANG ?=
prompts: | deps
	tools/make-prompts wave $(if $(RATE),--rate $(RATE)) $(if $(VOICE),--voice $(VOICE)) \
	  $(if $(PROMPT_LANG),--lang $(PROMPT_LANG))

test: test-plain test-sanitized fuzz

test-plain: build
	$(TEST_ENV) tools/with-xvfb ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

test-sanitized: build-asan
	$(TEST_ENV) tools/with-xvfb ctest --test-dir $(ASAN_BUILD) --output-on-failure -j$(JOBS)

fuzz: build-fuzz
	for target in $(FUZZERS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$target && \
	  $(TEST_ENV) $(FUZZ_BUILD)/fuzz/$${target}_fuzz -runs=$(FUZZ_RUNS) -max_total_time=$(FUZZ_SECONDS) \
	    -seed=1 -max_len=4096 $(FUZZ_BUILD)/corpus/$$target fuzz/corpus/$$target || exit 1; \
	done

demo: programs prompts
	tools/run-demo $(BUILD) demo $(DEMO_ARGS)

bench: build prompts
	tools/with-xvfb tools/run-bench $(BUILD)

# Real Hamlib clients against the panel: rigctl, the Python bindings and grig
# (a minute under Xvfb). Not part of CI, which has no grig.
interop: programs prompts
	tools/install-deps --interop
	tools/with-xvfb tools/run-interop $(BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) wave demo
