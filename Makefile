# The two front-door commands: `make run` builds and starts Corvane, `make test` builds it
# and runs every test. Both install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build run test test-sanitize test-thread clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/check-display
	$(BUILD)/bin/Corvane_ALPHA3

# Everything but the long random-input run, which `make test-sanitize` runs on the
# sanitizer build (CI runs both).
test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) -LE monkey

# The whole tree built with AddressSanitizer and UndefinedBehaviorSanitizer, every test run
# over it; a report fails the test that caused it. Allocations are traced through the whole
# stack: the toolkit's libraries keep no frame pointers, and a leak inside them would
# otherwise be told without the library it happened in, which its suppression names.
SANITIZE_BUILD ?= build-sanitize
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:fast_unwind_on_malloc=0 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/leaks.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# The tree built with ThreadSanitizer, running the tests that have the pointer source's thread
# in them: the polling units, the control container and the end-to-end cases. A report fails:
# the test whose program exits with it, and at the end any report that a program stopped by
# its test left in the reports folder. tests/sanitize/threads.supp names the toolkit's and
# libxcb's own hand-overs between their threads, which the sanitizer cannot see into. One test
# at a time: the sanitizer slows the programs enough that two sessions at once miss the
# end-to-end cases' deadlines.
THREAD_BUILD ?= build-thread
THREAD_REPORTS = $(CURDIR)/$(THREAD_BUILD)/thread-reports
THREAD_TARGETS = forms_tests tools_tests Corvane_ALPHA3 Lumakey ctlhost regsvr resdump widget_host lumakey_designer
test-thread: deps
	cmake -S . -B $(THREAD_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_THREAD_SANITIZE=ON
	cmake --build $(THREAD_BUILD) -j $(JOBS) --target $(THREAD_TARGETS)
	rm -rf $(THREAD_REPORTS) && mkdir -p $(THREAD_REPORTS)
	TSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/threads.supp:exitcode=66:log_path=$(THREAD_REPORTS)/report \
	ctest --test-dir $(THREAD_BUILD) --output-on-failure -L 'forms|tools|e2e'
	@if [ -n "$$(ls $(THREAD_REPORTS))" ]; then cat $(THREAD_REPORTS)/*; echo "ThreadSanitizer reported the above"; exit 1; fi

# Every reader of bytes that another party writes, fuzzed with libFuzzer for FUZZ_SECONDS
# each (see fuzz/run); built with clang from the readers' sources alone.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
.PHONY: fuzz
fuzz:
	@scripts/install-deps --fuzz
	cmake -S fuzz -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	fuzz/run $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The Debian package of the build, build/corvane_<version>_<arch>.deb (see README).
.PHONY: package
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(THREAD_BUILD) $(FUZZ_BUILD)
